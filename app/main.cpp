#include "app/EnvironmentDefault.h"
#include "app/Form1.h"
#include "app/QtTranslations.h"
#include "resources/ProgramFont.h"
#include "resources/VersionRecord.h"

#include <QApplication>

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace {

void PrintHelp() {
    std::printf(
        "Usage: %s [--help] [--version]\n"
        "\n"
        "%s tells where an IPv4 address is. Type an address, or a prefix ending in \"*\",\n"
        "into the window and press Enter: the program asks the lookup service and shows\n"
        "the location, the network and the registered country of the address.\n"
        "\n"
        "Environment:\n"
        "  LOKARO_SERVICE_HOST  host[:port] of the lookup service (default %s;\n"
        "                       port 80 when none is given)\n",
        VersionRecord::kExecutable, VersionRecord::kProductName, LOKARO_DEFAULT_SERVICE_HOST);
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", VersionRecord::kProductName, VersionRecord::kFileVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }

    // Reading fontconfig's configuration is most of what the first frame's Chinese text
    // costs; it runs beside the platform set-up, and Qt then finds it done.
    std::thread fontSetUp([] { FcInit(); });
    std::unique_ptr<QApplication> app;
    {
        // Qt's own event dispatcher, chosen while the application object makes it, gives the
        // lookups their one pass over the queued events; processes started later do not
        // inherit the choice.
        const EnvironmentDefault qtDispatcher("QT_NO_GLIB", "1");
        app = std::make_unique<QApplication>(argc, argv);
    }
    InstallQtTranslations();
    QApplication::setApplicationName(QString::fromLatin1(VersionRecord::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(VersionRecord::kFileVersion));
    fontSetUp.join();
    QApplication::setFont(ProgramFont());

    Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
