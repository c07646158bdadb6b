// wherix-geodata SOURCE_DIR SET_DIR: compiles fetched sources into the data set that
// wherix-service and wherix-lookup map (scripts/fetch-geodata runs it).
#include "service/core/data/DataError.h"
#include "service/geodata/DataSetCompiler.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3 || std::string_view(argv[1]).starts_with('-')) {
        std::cerr << "usage: wherix-geodata SOURCE_DIR SET_DIR\n"
                     "Compiles the fetched databases and tables in SOURCE_DIR into the data set "
                     "in SET_DIR.\n";
        return 2;
    }
    try {
        service::CompileDataSet(argv[1], argv[2]);
    } catch (const service::DataError& error) {
        std::cerr << "wherix-geodata: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
