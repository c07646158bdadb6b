#include "about/AboutLayout.h"

#include "about/AboutContacts.h"

namespace AboutLayout {

const std::array<Control, 11>& Controls() {
    using enum ControlKind;
    static const std::array<Control, 11> controls{{
        {QStringLiteral("Label1"),
         Label,
         QStringLiteral("Wherix | Lokaro 1.1"),
         {1080, 120, 2700, 180}},
        {QStringLiteral("Label2"),
         Label,
         QStringLiteral(u"作者:") + AboutContacts::kAuthor,
         {1080, 480, 990, 180}},
        {QStringLiteral("Command1"), Button, QStringLiteral(u"确定"), {1800, 1920, 1215, 330}},
        {QStringLiteral("Label3"), Label, QStringLiteral(u"主页:"), {1080, 720, 450, 180}},
        {QStringLiteral("Label4"), LinkLabel, AboutContacts::kHomePage, {1560, 720, 2340, 180}},
        {QStringLiteral("Label5"), Label, QStringLiteral("Q  Q:"), {1080, 960, 450, 180}},
        {QStringLiteral("Label6"),
         LinkLabel,
         AboutContacts::kMessengerNumber,
         {1560, 960, 810, 180}},
        {QStringLiteral("Label7"), Label, QStringLiteral(u"邮箱:"), {1080, 1200, 450, 180}},
        {QStringLiteral("Label8"), LinkLabel, AboutContacts::kEmail, {1560, 1200, 1260, 180}},
        {QStringLiteral("Label9"), Label, QStringLiteral("2008-08-08"), {1080, 1560, 900, 180}},
        {QStringLiteral("Picture1"), Picture, QString(), {240, 120, 540, 540}},
    }};
    return controls;
}

}  // namespace AboutLayout
