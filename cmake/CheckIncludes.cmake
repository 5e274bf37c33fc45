# cmake -DSOURCE_DIR=... -P CheckIncludes.cmake
#
# The runtime's sources include each other's headers only by their <qmr41726/...> names, which
# resolve only for the parts a library links. A quoted include ("../dataset/TDataSet.h") would
# find a file of any part by its place on disk and pass that rule by, so none is allowed in host/.
file(GLOB_RECURSE sources ${SOURCE_DIR}/host/*.h ${SOURCE_DIR}/host/*.cpp)
set(found "")
foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
        file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
        string(APPEND found "\n  ${name}: ${line}")
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "quoted includes in host/ (include <qmr41726/...> and link the library):${found}")
endif()
