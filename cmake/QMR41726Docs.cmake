# The reference manual (`make docs`, target `docs`): Doxygen reads the installed headers, and only
# those, with the pages of docs/manual, and writes HTML and a Qt help project, which Qt's
# qhelpgenerator compiles into qmr41726.qch for Qt Creator and Qt Assistant. A Doxygen warning (an
# undocumented class, function or enum among them) fails the target. The package qmr41726-doc
# installs both (cmake/QMR41726Packaging.cmake).
find_package(Doxygen)
# qhelpgenerator lies among Qt's tools outside PATH (Debian: qt6-documentation-tools).
find_package(Qt6 QUIET COMPONENTS ToolsTools)

set(QMR_DOCS_PAGES_DIR ${PROJECT_SOURCE_DIR}/docs/manual)
set(QMR_DOCS_OUTPUT_DIR ${PROJECT_BINARY_DIR}/docs)
set(QMR_DOCS_HTML_DIR ${QMR_DOCS_OUTPUT_DIR}/html)
set(QMR_DOCS_QCH ${QMR_DOCS_OUTPUT_DIR}/qmr41726.qch)

# The package qmr41726-doc: building the package builds the manual first (this rule runs as CPack
# installs the component), so no package is made without it or from a stale one. A plain
# `cmake --install` leaves the manual out, as it does the other Debian-only files.
set(QMR_DOC_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/doc/qmr41726-doc)
install(CODE "
    execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${PROJECT_BINARY_DIR}\" --target docs
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR \"the reference manual did not build (make docs shows why)\")
    endif()" COMPONENT doc EXCLUDE_FROM_ALL)
# The help project is only the input of the .qch.
install(DIRECTORY ${QMR_DOCS_HTML_DIR}/ DESTINATION ${QMR_DOC_INSTALL_DIR}/html
    COMPONENT doc EXCLUDE_FROM_ALL PATTERN index.qhp EXCLUDE)
install(FILES ${QMR_DOCS_QCH} DESTINATION ${QMR_DOC_INSTALL_DIR} COMPONENT doc EXCLUDE_FROM_ALL)
# Registers the HTML with doc-base, so that documentation browsers list it.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qmr41726-doc.doc-base
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME qmr41726-doc COMPONENT doc EXCLUDE_FROM_ALL)

if(NOT DOXYGEN_FOUND OR NOT TARGET Qt6::qhelpgenerator)
    set(missing)
    if(NOT DOXYGEN_FOUND)
        list(APPEND missing "doxygen (Debian package doxygen)")
    endif()
    if(NOT TARGET Qt6::qhelpgenerator)
        list(APPEND missing "qhelpgenerator (Debian package qt6-documentation-tools)")
    endif()
    list(JOIN missing " and " missing)
    add_custom_target(docs
        COMMAND ${CMAKE_COMMAND} -E echo "The reference manual needs ${missing}: run scripts/install-deps."
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
    return()
endif()

qmr_installed_header_files(QMR_DOCS_HEADERS)
# Generated export macros carry nothing a host reads.
list(FILTER QMR_DOCS_HEADERS EXCLUDE REGEX "Export\\.h$")
file(GLOB QMR_DOCS_PAGES CONFIGURE_DEPENDS ${QMR_DOCS_PAGES_DIR}/*.md ${QMR_DOCS_PAGES_DIR}/*.dox)
list(JOIN QMR_DOCS_HEADERS " \\\n    " headers)
list(JOIN QMR_DOCS_PAGES " \\\n    " pages)
set(QMR_DOCS_INPUT "${headers} \\\n    ${pages}")
# Headers show as a host includes them, <qmr41726/...>: the include folder each lies in is
# stripped from its path.
set(QMR_DOCS_INCLUDE_DIRS)
foreach(header IN LISTS QMR_DOCS_HEADERS)
    cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${QMR_INCLUDE_ROOT} OUTPUT_VARIABLE relative)
    string(REGEX REPLACE "/.*" "" folder ${relative})
    list(APPEND QMR_DOCS_INCLUDE_DIRS ${QMR_INCLUDE_ROOT}/${folder})
endforeach()
list(REMOVE_DUPLICATES QMR_DOCS_INCLUDE_DIRS)
# The pages' folder is stripped too: Doxygen names and titles a folder's page by its path, and the
# manual must be the same bytes wherever the tree was built (reproducible packages).
list(JOIN QMR_DOCS_INCLUDE_DIRS " " QMR_DOCS_STRIP_FROM_PATH)
string(APPEND QMR_DOCS_STRIP_FROM_PATH " ${PROJECT_SOURCE_DIR}")
string(REPLACE "." "" QMR_DOCS_QHP_VERSION ${PROJECT_VERSION})
configure_file(${QMR_DOCS_PAGES_DIR}/Doxyfile.in ${QMR_DOCS_OUTPUT_DIR}/Doxyfile @ONLY)

# The stamp is written only when Doxygen succeeds, so a failed run is run again by the next build.
set(QMR_DOCS_STAMP ${QMR_DOCS_OUTPUT_DIR}/html.stamp)
add_custom_command(OUTPUT ${QMR_DOCS_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${QMR_DOCS_HTML_DIR} ${QMR_DOCS_STAMP}
    COMMAND Doxygen::doxygen ${QMR_DOCS_OUTPUT_DIR}/Doxyfile
    COMMAND ${CMAKE_COMMAND} -E touch ${QMR_DOCS_STAMP}
    DEPENDS ${QMR_DOCS_HEADERS} ${QMR_DOCS_PAGES} ${QMR_DOCS_OUTPUT_DIR}/Doxyfile
    WORKING_DIRECTORY ${QMR_DOCS_OUTPUT_DIR}
    COMMENT "Writing the reference manual with Doxygen (a warning fails it)"
    VERBATIM)
add_custom_command(OUTPUT ${QMR_DOCS_QCH}
    COMMAND Qt6::qhelpgenerator ${QMR_DOCS_HTML_DIR}/index.qhp -o ${QMR_DOCS_QCH}
    DEPENDS ${QMR_DOCS_STAMP}
    COMMENT "Compiling the reference manual's Qt help file"
    VERBATIM)
add_custom_target(docs DEPENDS ${QMR_DOCS_STAMP} ${QMR_DOCS_QCH})
