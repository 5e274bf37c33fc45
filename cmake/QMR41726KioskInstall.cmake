# Run by `cmake --install` and CPack (component kiosk): writes the kiosk's units for the prefix the
# tree is installed to and installs them with the configuration files. The variables QMR_KIOSK_*
# come from cmake/QMR41726Kiosk.cmake.

# The system configuration folder, as GNUInstallDirs defines it: /etc for the prefix /usr (the
# Debian packages), PREFIX/etc for any other.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(sysconfdir /etc)
else()
    set(sysconfdir ${CMAKE_INSTALL_PREFIX}/etc)
endif()

set(QMR_KIOSK_USER ${QMR_KIOSK_NAME})
set(QMR_KIOSK_PAM_SERVICE ${QMR_KIOSK_NAME})
set(QMR_KIOSK_HOST ${CMAKE_INSTALL_PREFIX}/${QMR_KIOSK_BINDIR}/qmr41726-host)
set(QMR_KIOSK_ENVIRONMENT_FILE ${sysconfdir}/default/${QMR_KIOSK_NAME})
set(QMR_KIOSK_CREDENTIAL ${sysconfdir}/${QMR_KIOSK_NAME}/db-password)
set(QMR_KIOSK_DOCUMENTATION ${CMAKE_INSTALL_PREFIX}/${QMR_KIOSK_DOC_INSTALL_DIR}/deploying.md)

# One work folder per destination, so installs to two prefixes at once never share a file.
string(SHA1 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(work ${QMR_KIOSK_WORK_DIR}/${destination})
set(units)
foreach(unit IN LISTS QMR_KIOSK_UNITS)
    configure_file(${QMR_KIOSK_SOURCE_DIR}/${unit}.in ${work}/${unit} @ONLY)
    list(APPEND units ${work}/${unit})
endforeach()
file(INSTALL DESTINATION ${CMAKE_INSTALL_PREFIX}/${QMR_KIOSK_UNIT_INSTALL_DIR} TYPE FILE FILES ${units})
# The settings may name a server and its user: readable by root alone, who starts the units.
file(INSTALL DESTINATION ${sysconfdir}/default TYPE FILE
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE
    RENAME ${QMR_KIOSK_NAME} FILES ${QMR_KIOSK_SOURCE_DIR}/${QMR_KIOSK_NAME}.default)
# The database password the units hand the host as a systemd credential, readable by root alone.
# Shipped empty (no password): systemd fails a unit whose credential file is missing.
file(WRITE ${work}/db-password "")
file(INSTALL DESTINATION ${sysconfdir}/${QMR_KIOSK_NAME} TYPE FILE
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE FILES ${work}/db-password)
file(INSTALL DESTINATION ${sysconfdir}/pam.d TYPE FILE
    RENAME ${QMR_KIOSK_NAME} FILES ${QMR_KIOSK_SOURCE_DIR}/${QMR_KIOSK_NAME}.pam)
