# What `cmake --install` puts where, by component (the Debian packages are cut along them):
#   runtime  libqmr_runtime.so.1*                        -> LIBDIR
#   sql      libqmr_sql.so.3* (when the SQL loader is built) -> LIBDIR
#   dev      public headers (cmake/QMR41726Libraries.cmake) -> INCLUDEDIR/qmr41726/...
#            the .so namelinks, CMake package, qmr41726.pc -> LIBDIR, LIBDIR/cmake, LIBDIR/pkgconfig
#   screen   libPKG_QMR41726.so                            -> LIBDIR/qmr41726
#   host     qmr41726-host, the sample data               -> BINDIR, DATADIR/qmr41726
# Tests, the static core, the tools and the private headers are not installed.
include(CMakePackageConfigHelpers)

# The installed binaries are linked with their installed RUNPATH, which also serves the build tree
# (the binary's own folder first, where the build puts every library). CMake would otherwise link
# a build RUNPATH padded with empty entries, for it to edit at install, and the loader reads an
# empty entry as the current folder.
function(qmr_runpath target)
    set(runpath "$ORIGIN")
    foreach(folder IN LISTS ARGN)
        list(APPEND runpath "$ORIGIN/${folder}")
    endforeach()
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${runpath}" BUILD_WITH_INSTALL_RPATH ON)
endfunction()

set(QMR_EXPORT_SET QMR41726Targets)

# Installs a library of the SDK into the export set: the versioned files in `component`, the
# namelink in dev. Its headers are installed by the folders that declare them; a host's include
# path holds the include folder itself, so that every header is <qmr41726/...>.
function(qmr_install_library target export_name component)
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
    qmr_runpath(${target})
    install(TARGETS ${target} EXPORT ${QMR_EXPORT_SET}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${component} NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()

qmr_install_library(qmr_runtime runtime runtime)
qmr_install_library(qmr_sql sql sql)

# The screen package finds the runtime one folder up, wherever the tree is.
qmr_relative_install_path(QMR_PACKAGE_TO_LIBDIR ${QMR_PACKAGE_INSTALL_DIR} ${CMAKE_INSTALL_LIBDIR})
qmr_runpath(PKG_QMR41726 ${QMR_PACKAGE_TO_LIBDIR})
install(TARGETS PKG_QMR41726
    LIBRARY DESTINATION ${QMR_PACKAGE_INSTALL_DIR} COMPONENT screen NAMELINK_SKIP)

# The host application finds the runtime relative to itself (the package and the data too, see
# apps/qmr41726-host/CMakeLists.txt).
qmr_relative_install_path(QMR_BINDIR_TO_LIBDIR ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR})
qmr_runpath(qmr41726-host ${QMR_BINDIR_TO_LIBDIR})
install(TARGETS qmr41726-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT host)
install(FILES ${PROJECT_SOURCE_DIR}/data/produtos.csv ${PROJECT_SOURCE_DIR}/data/clientes.csv
    DESTINATION ${QMR_DATA_INSTALL_DIR} COMPONENT host)

# CMake package: QMR41726Config.cmake, its version file and the exported targets.
install(EXPORT ${QMR_EXPORT_SET} NAMESPACE QMR41726:: DESTINATION ${QMR_CMAKE_INSTALL_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QMR41726Config.cmake.in
    ${PROJECT_BINARY_DIR}/cmake/QMR41726Config.cmake
    INSTALL_DESTINATION ${QMR_CMAKE_INSTALL_DIR}
    PATH_VARS QMR_PACKAGE_INSTALL_DIR QMR_DATA_INSTALL_DIR)
# A host built against 1.x works with any later 1.y: the runtime's ABI changes only with the major.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/QMR41726ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/QMR41726Config.cmake
              ${PROJECT_BINARY_DIR}/cmake/QMR41726ConfigVersion.cmake
    DESTINATION ${QMR_CMAKE_INSTALL_DIR} COMPONENT dev)

# pkg-config file; its prefix is found from the file's own folder, so a moved tree still works.
qmr_relative_install_path(QMR_PC_TO_PREFIX ${CMAKE_INSTALL_LIBDIR}/pkgconfig "")
configure_file(${PROJECT_SOURCE_DIR}/cmake/qmr41726.pc.in ${PROJECT_BINARY_DIR}/cmake/qmr41726.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/cmake/qmr41726.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
