# How the project's libraries show their headers.
#
# Every header of the SDK is included as <qmr41726/FOLDER/Name.h>, FOLDER being its folder under
# host/ (<qmr41726/data/dataset/TClientDataSet.h>, <qmr41726/ui/TApplication.h>), in this tree and
# in an installed one alike. In the tree, each library gets an include folder of its own in the
# build tree, holding links to its headers under those names, and only that folder goes on the
# include path of the library and of what links it. So a library reaches another's headers only by
# linking it: an include of a part it does not link (the filter language including the data sets
# above it) names a file the compiler cannot find, and the build fails there.

# The build tree's include folders, one a library.
set(QMR_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)

# Headers generated at configure time (version, export macros): <qmr41726/QmrVersion.h>, ...
set(QMR_GENERATED_INCLUDE_DIR ${QMR_INCLUDE_ROOT}/generated)
set(QMR_GENERATED_HEADER_DIR ${QMR_GENERATED_INCLUDE_DIR}/qmr41726)

# qmr_library_headers(<target> <folder> [COPY] [INSTALL <header>...] [INTERNAL <header>...])
#
# Shows `target`'s headers (paths relative to the current source folder) as <qmr41726/<folder>/...>
# (<qmr41726/...> for the folder ".")
# to the target and to what links it. INSTALL headers are the SDK's: they are installed under the
# same names and each is compiled alone by a test; INTERNAL ones serve the libraries above in this
# tree only. COPY puts copies in the include folder instead of links, made again whenever a header
# changes: clang takes a link whose target's folder differs from the include name in letter case
# alone (QMR41726/ for qmr41726/) for a misspelt include and fails the build.
function(qmr_library_headers target folder)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "COPY" "" "INSTALL;INTERNAL")
    set(root ${QMR_INCLUDE_ROOT}/${target})
    set(names)
    foreach(header IN LISTS ARG_INSTALL ARG_INTERNAL)
        cmake_path(SET name NORMALIZE qmr41726/${folder}/${header})
        list(APPEND names ${root}/${name})
    endforeach()
    # A header moved or removed leaves nothing behind; the others are kept as they are, so that a
    # copy that did not change does not rebuild what includes it.
    file(GLOB_RECURSE present LIST_DIRECTORIES false ${root}/*)
    foreach(file IN LISTS present)
        if(NOT file IN_LIST names)
            file(REMOVE ${file})
        endif()
    endforeach()
    foreach(header IN LISTS ARG_INSTALL ARG_INTERNAL)
        cmake_path(SET name NORMALIZE qmr41726/${folder}/${header})
        cmake_path(GET name PARENT_PATH parent)
        file(MAKE_DIRECTORY ${root}/${parent})
        if(ARG_COPY)
            if(IS_SYMLINK ${root}/${name})
                file(REMOVE ${root}/${name})
            endif()
            configure_file(${header} ${root}/${name} COPYONLY)
        else()
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${name} SYMBOLIC)
        endif()
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
    else()
        target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    endif()
    foreach(header IN LISTS ARG_INSTALL)
        cmake_path(SET name NORMALIZE qmr41726/${folder}/${header})
        cmake_path(GET name PARENT_PATH parent)
        install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${parent} COMPONENT dev)
        set_property(GLOBAL APPEND PROPERTY QMR_INSTALLED_HEADERS ${name})
        set_property(GLOBAL APPEND PROPERTY QMR_INSTALLED_HEADER_FILES ${root}/${name})
    endforeach()
endfunction()

# Installs headers generated at configure time (under ${QMR_GENERATED_HEADER_DIR} or another
# generated include folder's qmr41726/) as <qmr41726/Name.h>.
function(qmr_install_generated_headers)
    foreach(header IN LISTS ARGN)
        cmake_path(GET header FILENAME name)
        install(FILES ${header} DESTINATION ${QMR_HEADER_INSTALL_DIR} COMPONENT dev)
        set_property(GLOBAL APPEND PROPERTY QMR_INSTALLED_HEADERS qmr41726/${name})
        set_property(GLOBAL APPEND PROPERTY QMR_INSTALLED_HEADER_FILES ${header})
    endforeach()
endfunction()

# The names of every installed header (qmr41726/...), for the test that compiles each alone.
function(qmr_installed_headers out)
    get_property(headers GLOBAL PROPERTY QMR_INSTALLED_HEADERS)
    set(${out} ${headers} PARENT_SCOPE)
endfunction()

# Every installed header as it lies under the build tree's include folders (<folder>/qmr41726/...),
# generated ones included, for the reference manual.
function(qmr_installed_header_files out)
    get_property(files GLOBAL PROPERTY QMR_INSTALLED_HEADER_FILES)
    set(${out} ${files} PARENT_SCOPE)
endfunction()

# A part of the runtime: its objects are linked into libqmr_runtime.so once, and into the programs
# that test it without the rest. Only what carries QMR_RUNTIME_EXPORT is seen outside the runtime.
function(qmr_runtime_part target)
    add_library(${target} OBJECT ${ARGN})
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    set_property(GLOBAL APPEND PROPERTY QMR_RUNTIME_PARTS ${target})
endfunction()

# The runtime's parts, in the order they were declared.
function(qmr_runtime_parts out)
    get_property(parts GLOBAL PROPERTY QMR_RUNTIME_PARTS)
    set(${out} ${parts} PARENT_SCOPE)
endfunction()
