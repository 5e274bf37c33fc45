# Debian packages, one per install component (`make package`, output in the build folder):
#   libqmr-runtime1     the runtime library (named after its SONAME, as Debian's library policy does)
#   libqmr-sql3         the SQL loader library
#   libqmr41726-dev     headers, the .so links, CMake package and pkg-config file
#   qmr41726-screen     the search screen package
#   qmr41726-host       the host application and the sample data
#   qmr41726-kiosk      the kiosk kit: systemd units, their settings and user (cmake/QMR41726Kiosk.cmake)
#   qmr41726-doc        the reference manual: HTML and a Qt help file (cmake/QMR41726Docs.cmake)
# dpkg-shlibdeps finds the libraries the binaries link; what no tool can see is declared here: the
# fonts the screen's pixels are drawn with, the Qt platform and input plugins a terminal runs on,
# the Qt SQL drivers, and our own libraries (the runtime is not installed yet when the others are
# packaged, so its shlibs file cannot be read).
set(QMR_DEBIAN_RELEASE 1)
set(QMR_DEBIAN_VERSION ${PROJECT_VERSION}-${QMR_DEBIAN_RELEASE})
set(QMR_DEBIAN_MAINTAINER "QMR41726 maintainers <maintainers@users.noreply.c-seed-8e2abce3.example>")

get_target_property(QMR_RUNTIME_SOVERSION qmr_runtime SOVERSION)
set(QMR_DEB_RUNTIME libqmr-runtime${QMR_RUNTIME_SOVERSION})
set(QMR_DEB_DEV libqmr41726-dev)
set(QMR_DEB_SCREEN qmr41726-screen)
set(QMR_DEB_HOST qmr41726-host)
set(QMR_DEB_KIOSK ${QMR_KIOSK_NAME})

get_target_property(QMR_SQL_SOVERSION qmr_sql SOVERSION)
set(QMR_DEB_SQL libqmr-sql${QMR_SQL_SOVERSION})
set(QMR_DEB_COMPONENTS runtime dev screen host kiosk sql)
set(QMR_DEB_DOC qmr41726-doc)
list(APPEND QMR_DEB_COMPONENTS doc)

# Compresses `source` to `target` at configure time as Debian wants documentation: gzip -9n, the
# smallest and reproducible (no name or time stamp inside).
function(qmr_gzip source target)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    get_filename_component(folder ${target} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip could not compress ${source} (${status})")
    endif()
endfunction()

# Every package carries its copyright file and its changelog, and says which lintian warnings do
# not apply to it: these packages are not uploaded to Debian, so there is no bug asking for them
# for the first changelog entry to close.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog QMR_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT QMR_CHANGELOG_HEAD MATCHES "\\(${QMR_DEBIAN_VERSION}\\)")
    message(FATAL_ERROR "packaging/changelog begins with \"${QMR_CHANGELOG_HEAD}\": its latest entry "
                        "must be for version ${QMR_DEBIAN_VERSION} (project version - Debian release)")
endif()
set(QMR_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)
qmr_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${QMR_PACKAGING_DIR}/changelog.Debian.gz)
foreach(component IN LISTS QMR_DEB_COMPONENTS)
    string(TOUPPER ${component} COMPONENT)
    set(package ${QMR_DEB_${COMPONENT}})
    set(overrides "${package}: initial-upload-closes-no-bugs\n")
    if(component STREQUAL "runtime" OR component STREQUAL "sql")
        # CPack's own postinst/postrm run ldconfig beside the trigger; both are harmless.
        string(APPEND overrides "${package}: maintscript-calls-ldconfig *\n")
        if(component STREQUAL "sql")
            # As for the host below: the SQL library's one fortifiable libc call, poll() on the one
            # descriptor of its connection, has bounds the compiler proves, so it needs no checking
            # variant and lintian, seeing none, takes FORTIFY for absent.
            string(APPEND overrides
                   "${package}: hardening-no-fortify-functions [usr/lib/*/libqmr_sql.so.*]\n")
        endif()
    elseif(component STREQUAL "host")
        # The host is compiled with _FORTIFY_SOURCE like everything else, but each libc call of its
        # own has bounds the compiler proves (a one-byte read into one byte, ...), so none needs a
        # checking variant and lintian, seeing none, takes FORTIFY for absent.
        string(APPEND overrides "${package}: hardening-no-fortify-functions [usr/bin/qmr41726-host]\n")
    elseif(component STREQUAL "kiosk")
        # The kiosk runs in a logind session opened by systemd: there is no other init to support.
        string(APPEND overrides "${package}: package-supports-alternative-init-but-no-init.d-script *\n")
        # The settings may name a server and its user, the credential file holds its password:
        # root alone reads them.
        string(APPEND overrides "${package}: non-standard-file-perm 0600 != 0644 [etc/default/${package}]\n"
                                "${package}: non-standard-file-perm 0600 != 0644 [etc/${package}/db-password]\n")
    endif()
    file(WRITE ${QMR_PACKAGING_DIR}/lintian/${package} "${overrides}")
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    # The Debian-only files go into the packages alone (CPack installs component by component), not
    # into a plain `cmake --install` to a prefix of the user's.
    install(FILES ${QMR_PACKAGING_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component} EXCLUDE_FROM_ALL)
    install(FILES ${QMR_PACKAGING_DIR}/lintian/${package}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
# The manual page names the version it documents.
configure_file(${PROJECT_SOURCE_DIR}/packaging/qmr41726-host.1.in ${QMR_PACKAGING_DIR}/qmr41726-host.1 @ONLY)
qmr_gzip(${QMR_PACKAGING_DIR}/qmr41726-host.1 ${QMR_PACKAGING_DIR}/qmr41726-host.1.gz)
install(FILES ${QMR_PACKAGING_DIR}/qmr41726-host.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT host)

set(CPACK_GENERATOR DEB)
# CPack stamps every file and member of the packages with SOURCE_DATE_EPOCH when the environment
# holds it: the last commit's time (cmake/QMR41726BuildFlags.cmake), set in CPack's own process,
# so that two builds of one commit give byte-identical packages.
file(WRITE ${QMR_PACKAGING_DIR}/CPackProjectConfig.cmake "set(ENV{SOURCE_DATE_EPOCH} ${QMR_SOURCE_DATE_EPOCH})\n")
set(CPACK_PROJECT_CONFIG_FILE ${QMR_PACKAGING_DIR}/CPackProjectConfig.cmake)
set(CPACK_PACKAGE_NAME qmr41726)
set(CPACK_PACKAGE_VENDOR "QMR41726 maintainers")
set(CPACK_PACKAGE_CONTACT ${QMR_DEBIAN_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL ${QMR_DEB_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QMR_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QMR_DEBIAN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where dpkg-shlibdeps finds our own libraries that the packaged binaries link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(QMR_DEP_RUNTIME "${QMR_DEB_RUNTIME} (>= ${QMR_DEBIAN_VERSION})")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${QMR_DEB_RUNTIME})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "runtime library of the QMR41726 search screen
The runtime that point-of-sale host applications and the QMR41726 search screen
package both link: data sets, forms and controls on Qt 6 Widgets, window
messages and the package loader.")
# The library's folder is in the dynamic linker's cache: refresh it after install and removal.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${QMR_DEB_DEV})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${QMR_DEB_RUNTIME} (= ${QMR_DEBIAN_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files for hosts of the QMR41726 search screen
Headers of the QMR41726 runtime and of the search screen's entry point, the
CMake package (find_package(QMR41726)) and the pkg-config file (qmr41726)
a host application builds with.")

set(CPACK_DEBIAN_SCREEN_PACKAGE_NAME ${QMR_DEB_SCREEN})
set(CPACK_DEBIAN_SCREEN_PACKAGE_SECTION libs)
# The screen's layout is measured in the Liberation and DejaVu fonts; a terminal runs it on xcb,
# linuxfb or the offscreen platform (libqt6gui6, which dpkg-shlibdeps finds as it links it) and
# reads touch panels through the input plugins (libqt6gui6 and qt6-qpa-plugins).
# The package builds on the runtime's forms, controls and grid, which are not part of the SDK and
# may change between two releases of one SOVERSION: it needs the runtime it was built with.
set(CPACK_DEBIAN_SCREEN_PACKAGE_DEPENDS
    "${QMR_DEB_RUNTIME} (= ${QMR_DEBIAN_VERSION}), fonts-liberation2, fonts-dejavu-core, fonts-dejavu-extra, qt6-qpa-plugins")
set(CPACK_DEBIAN_SCREEN_DESCRIPTION "QMR41726 touch-screen search screen package
The loadable package (libPKG_QMR41726.so) that shows a modal search screen with
an on-screen keyboard over a data set handed by a point-of-sale host, and
narrows the data set after every typed character.")

set(CPACK_DEBIAN_HOST_PACKAGE_NAME ${QMR_DEB_HOST})
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS "${QMR_DEP_RUNTIME}, ${QMR_DEB_SCREEN} (= ${QMR_DEBIAN_VERSION})")
set(CPACK_DEBIAN_HOST_DESCRIPTION "host application of the QMR41726 search screen
Loads the QMR41726 search screen package, hands it a data set read from a CSV
file or an SQLite database, and prints what the call left behind as JSON; a key
script drives the screen without a person. Comes with sample data.")

set(CPACK_DEBIAN_KIOSK_PACKAGE_NAME ${QMR_DEB_KIOSK})
set(CPACK_DEBIAN_KIOSK_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_KIOSK_PACKAGE_ARCHITECTURE all)
# The cage unit needs cage, which does not start without Xwayland, and Qt's Wayland platform; the
# eglfs unit needs Qt's eglfs platform and its KMS integration (libqt6opengl6; linuxfb comes with
# libqt6gui6). The package creates its user with systemd-sysusers; pam_systemd registers the cage
# unit's session with logind.
set(CPACK_DEBIAN_KIOSK_PACKAGE_DEPENDS
    "${QMR_DEB_HOST} (= ${QMR_DEBIAN_VERSION}), cage, xwayland, qt6-wayland, libqt6opengl6, systemd | systemd-sysusers")
set(CPACK_DEBIAN_KIOSK_PACKAGE_RECOMMENDS "libpam-systemd")
set(CPACK_DEBIAN_KIOSK_DESCRIPTION "kiosk kit of the QMR41726 search screen
Systemd units that show the QMR41726 search screen full screen on a touch
terminal as an unprivileged user, started again whenever it ends: one under
the cage Wayland compositor, one on Qt's eglfs or linuxfb platform without a
compositor. Their settings (data, query, language) are in
/etc/default/qmr41726-kiosk. Neither unit is enabled when installed.")
# dpkg keeps the operator's changes to the files under /etc across upgrades.
file(WRITE ${QMR_PACKAGING_DIR}/kiosk/conffiles
    "/etc/default/${QMR_KIOSK_NAME}\n/etc/pam.d/${QMR_KIOSK_NAME}\n/etc/${QMR_KIOSK_NAME}/db-password\n")
set(CPACK_DEBIAN_KIOSK_PACKAGE_CONTROL_EXTRA ${QMR_PACKAGING_DIR}/kiosk/conffiles
    ${QMR_KIOSK_SOURCE_DIR}/postinst ${QMR_KIOSK_SOURCE_DIR}/prerm ${QMR_KIOSK_SOURCE_DIR}/postrm)

set(CPACK_DEBIAN_SQL_PACKAGE_NAME ${QMR_DEB_SQL})
set(CPACK_DEBIAN_SQL_PACKAGE_SECTION libs)
# Qt loads its SQL drivers as plugins, which no tool sees: the package depends on one of the
# drivers its tests run against real servers (libqt6sql6 itself is found by dpkg-shlibdeps).
set(CPACK_DEBIAN_SQL_PACKAGE_DEPENDS "${QMR_DEP_RUNTIME}, libqt6sql6-psql | libqt6sql6-mysql | libqt6sql6-odbc")
set(CPACK_DEBIAN_SQL_PACKAGE_SUGGESTS "libqt6sql6-psql, libqt6sql6-mysql, libqt6sql6-odbc, odbc-postgresql")
set(CPACK_DEBIAN_SQL_DESCRIPTION "QMR41726 loader of data sets from Qt SQL databases
Fills a QMR41726 data set from a database server through Qt SQL:
PostgreSQL (one server, or several tried in order, standbys included),
MariaDB (libqt6sql6-mysql) and ODBC data sources (libqt6sql6-odbc with
odbc-postgresql), each tested against a real server.")
set(CPACK_DEBIAN_SQL_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)

set(CPACK_DEBIAN_DOC_PACKAGE_NAME ${QMR_DEB_DOC})
set(CPACK_DEBIAN_DOC_PACKAGE_SECTION doc)
set(CPACK_DEBIAN_DOC_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DOC_DESCRIPTION "reference manual of the QMR41726 SDK
The reference of the QMR41726 runtime's and SQL loader's public headers, with
pages on the search screen's contract (its entry point, parameters and what
it leaves in the data set) and on text and encodings, as HTML and as a Qt
help file (qmr41726.qch) for Qt Creator and Qt Assistant.")
string(APPEND CPACK_DEBIAN_DEV_PACKAGE_DEPENDS ", ${QMR_DEB_SQL} (= ${QMR_DEBIAN_VERSION})")
# The host application links the SQL loader (--db): without it the program does not start.
string(APPEND CPACK_DEBIAN_HOST_PACKAGE_DEPENDS ", ${QMR_DEB_SQL} (>= ${QMR_DEBIAN_VERSION})")

include(CPack)
