#include "settings/StartupOption.h"

#include <cmath>

namespace StartupOption {
namespace {
const QString kApplication = QStringLiteral("DUZodiro");
const QString kSection = QStringLiteral("Nomal");
const QString kMarkerKey = QStringLiteral("Install");
const QString kOptionKey = QStringLiteral("IsShowLocal");
}  // namespace

bool TextToBoolean(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    bool isNumber = false;
    const double value = trimmed.toDouble(&isNumber);
    return isNumber && std::isfinite(value) && value != 0.0;
}

bool LoadStartupOption(SettingsStore& store, bool currentOption) {
    const QString marker = store.ReadSetting(kApplication, kSection, kMarkerKey, QString());
    if (marker != u"1") {
        store.WriteSetting(kApplication, kSection, kMarkerKey, QStringLiteral("1"));
        store.WriteSetting(kApplication, kSection, kOptionKey,
                           currentOption ? QStringLiteral("True") : QStringLiteral("False"));
        return false;
    }
    return TextToBoolean(store.ReadSetting(kApplication, kSection, kOptionKey, QString()));
}

void SaveStartupOption(SettingsStore& store, int checkValue) {
    store.WriteSetting(kApplication, kSection, kOptionKey, QString::number(checkValue));
}

}  // namespace StartupOption
