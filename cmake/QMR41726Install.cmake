# What `cmake --install` puts where, by component (the Debian packages are cut along them):
#   runtime  libqmr_runtime.so.1*                        -> LIBDIR
#   sql      libqmr_sql.so.1* (when the SQL loader is built) -> LIBDIR
#   dev      public headers                               -> INCLUDEDIR/qmr41726/{host,QMR41726}/...
#            the .so namelinks, CMake package, qmr41726.pc -> LIBDIR, LIBDIR/cmake, LIBDIR/pkgconfig
#   screen   libPKG_QMR41726.so                            -> LIBDIR/qmr41726
#   host     qmr41726-host, the sample data               -> BINDIR, DATADIR/qmr41726
# Tests, the static core, the tools and the private headers are not installed.
include(CMakePackageConfigHelpers)

set(QMR_EXPORT_SET QMR41726Targets)

# Installs a runtime library of the SDK into the export set: the versioned files in `component`,
# the namelink and the target's public header sets (they keep their host/... paths) in dev.
function(qmr_install_library target export_name component)
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
    get_target_property(header_sets ${target} INTERFACE_HEADER_SETS)
    set(file_set_rules)
    foreach(header_set IN LISTS header_sets)
        list(APPEND file_set_rules
             FILE_SET ${header_set} DESTINATION ${QMR_HEADER_INSTALL_DIR} COMPONENT dev)
    endforeach()
    install(TARGETS ${target} EXPORT ${QMR_EXPORT_SET}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${component} NAMELINK_COMPONENT dev
        ${file_set_rules}
        INCLUDES DESTINATION ${QMR_HEADER_INSTALL_DIR})
endfunction()

qmr_install_library(qmr_runtime runtime runtime)
# The SQL loader library is optional: its component and Debian package exist only when it is built.
if(TARGET qmr_sql)
    qmr_install_library(qmr_sql sql sql)
    set(QMR_HAS_SQL ON)
else()
    set(QMR_HAS_SQL OFF)
endif()

# The header that declares the screen's entry point for hosts.
install(FILES ${PROJECT_SOURCE_DIR}/QMR41726/CriaTelaQmr41726.h
    DESTINATION ${QMR_HEADER_INSTALL_DIR}/QMR41726 COMPONENT dev)

# The screen package finds the runtime one folder up, wherever the tree is.
qmr_relative_install_path(QMR_PACKAGE_TO_LIBDIR ${QMR_PACKAGE_INSTALL_DIR} ${CMAKE_INSTALL_LIBDIR})
set_target_properties(PKG_QMR41726 PROPERTIES INSTALL_RPATH "$ORIGIN/${QMR_PACKAGE_TO_LIBDIR}")
install(TARGETS PKG_QMR41726
    LIBRARY DESTINATION ${QMR_PACKAGE_INSTALL_DIR} COMPONENT screen NAMELINK_SKIP)

# The host application finds the runtime relative to itself (the package and the data too, see
# apps/qmr41726-host/CMakeLists.txt).
qmr_relative_install_path(QMR_BINDIR_TO_LIBDIR ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR})
set_target_properties(qmr41726-host PROPERTIES INSTALL_RPATH "$ORIGIN/${QMR_BINDIR_TO_LIBDIR}")
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
