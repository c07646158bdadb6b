# The program's version record: the one place these values are written down.
# The program, the desktop files and the package all take them from here.
set(LOKARO_PRODUCT_NAME "Lokaro")
set(LOKARO_INTERNAL_NAME "Wherix")
set(LOKARO_FILE_VERSION "1.01.0023")
set(LOKARO_EXECUTABLE "wherix")
# Where to find the program and its developers: the About window's links and the
# package's metadata.
set(LOKARO_HOMEPAGE "https://lokaro.example.org")
set(LOKARO_EMAIL "lokaro@example.org")
# The desktop's name for the program: its .desktop file, icon and AppStream id.
set(LOKARO_APP_ID "org.example.lokaro")
