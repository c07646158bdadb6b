# The program's version record: the one place these values are written down.
# The program, the desktop files and the package all take them from here.
set(LOKARO_PRODUCT_NAME "Lokaro")
set(LOKARO_INTERNAL_NAME "Wherix")
set(LOKARO_FILE_VERSION "1.01.0023")
set(LOKARO_EXECUTABLE "wherix")
