// Figures for a query page whose result item is enormous: how long from the query until the
// result stands in the window and the window is painted and answers input again. The page
// comes over HTTP from a server on the loopback interface, as from a service.
#include "app/Form1.h"
#include "client/PageDecoding.h"
#include "settings/SettingsStore.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

struct Case {
    const char* name;
    qsizetype itemBytes;
    bool spaces;
};

// A query page whose first item is itemBytes long: ASCII letters, with a space after every
// seventh when spaces is set.
QByteArray PageWithItem(qsizetype itemBytes, bool spaces) {
    QByteArray item(itemBytes, 'x');
    if (spaces) {
        for (qsizetype i = 7; i < itemBytes; i += 8) item[i] = ' ';
    }
    return "<ul><li>" + item + "</li><li>AS15169</li><li>US</li></ul>";
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Measure(const Case& c, LoopbackHttpServer& server) {
    server.setAnswer(200, PageWithItem(c.itemBytes, c.spaces));
    QTemporaryDir config;
    SettingsStore store(config.path());
    Form1 form(Form1Services{{}, nullptr, &store});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) std::abort();
    auto* address = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* result = form.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    address->setText(QStringLiteral("8.8.8.8"));

    QElapsedTimer timer;
    timer.start();
    form.Command1_Click();
    const double shown = Milliseconds(timer);
    form.repaint();
    const double painted = Milliseconds(timer);
    // A key typed into the address box and the window painted again: usable.
    QTest::keyClick(address, Qt::Key_End);
    QCoreApplication::processEvents();
    form.repaint();
    const double usable = Milliseconds(timer);
    std::printf(
        "%-24s %9.0f ms shown %9.0f ms painted %9.0f ms usable  (%lld characters in the box)\n",
        c.name, shown, painted, usable, static_cast<long long>(result->toPlainText().size()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    LoopbackHttpServer server;
    setenv("LOKARO_SERVICE_HOST", server.hostAndPort().toLatin1().constData(), 1);
    QApplication app(argc, argv);

    // Optional arguments: the largest item in KiB, then "spaces" or "no-spaces" for one kind.
    const qsizetype largest = argc > 1 ? std::atoll(argv[1]) * 1024 : 2 * 1024 * 1024;
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    for (qsizetype bytes = 64 * 1024; bytes <= largest; bytes *= 2) {
        for (bool spaces : {true, false}) {
            if (!only.isEmpty() && only != (spaces ? "spaces" : "no-spaces")) continue;
            const QByteArray name = QByteArray::number(bytes / 1024) + " KiB item, " +
                                    (spaces ? "spaces" : "no spaces");
            Measure(Case{name.constData(), bytes, spaces}, server);
        }
    }
    return 0;
}
