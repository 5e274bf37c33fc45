# The kiosk kit (component kiosk, Debian package qmr41726-kiosk), from packaging/kiosk:
#   qmr41726-kiosk@.service       the host under the cage Wayland compositor   -> lib/systemd/system
#   qmr41726-kiosk-eglfs@.service the host on Qt's eglfs or linuxfb platform   -> lib/systemd/system
#   qmr41726-kiosk.conf           the unprivileged user the units run as       -> lib/sysusers.d
#   default/qmr41726-kiosk        the operator's settings (a conffile)         -> SYSCONFDIR
#   pam.d/qmr41726-kiosk          the session cage runs in (a conffile)        -> SYSCONFDIR
#   deploying.md                  how to put the kiosk on a terminal           -> DATADIR/doc/qmr41726-kiosk
# The units name the host, the settings and the documentation by absolute path, so they are
# written when the tree is installed, for the prefix it is installed to (cmake/QMR41726KioskInstall.cmake).
set(QMR_KIOSK_NAME qmr41726-kiosk)
set(QMR_KIOSK_SOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging/kiosk)
set(QMR_KIOSK_UNITS ${QMR_KIOSK_NAME}@.service ${QMR_KIOSK_NAME}-eglfs@.service)
set(QMR_KIOSK_UNIT_INSTALL_DIR lib/systemd/system)
set(QMR_KIOSK_DOC_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/doc/${QMR_KIOSK_NAME})
foreach(unit IN LISTS QMR_KIOSK_UNITS)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QMR_KIOSK_SOURCE_DIR}/${unit}.in)
endforeach()

install(FILES ${QMR_KIOSK_SOURCE_DIR}/${QMR_KIOSK_NAME}.sysusers RENAME ${QMR_KIOSK_NAME}.conf
    DESTINATION lib/sysusers.d COMPONENT kiosk)
install(FILES ${PROJECT_SOURCE_DIR}/docs/deploying.md DESTINATION ${QMR_KIOSK_DOC_INSTALL_DIR} COMPONENT kiosk)
# What the install script needs to know of this build, handed over as variables of the install run.
install(CODE "
    set(QMR_KIOSK_NAME ${QMR_KIOSK_NAME})
    set(QMR_KIOSK_SOURCE_DIR \"${QMR_KIOSK_SOURCE_DIR}\")
    set(QMR_KIOSK_WORK_DIR \"${PROJECT_BINARY_DIR}/packaging/kiosk-install\")
    set(QMR_KIOSK_UNITS \"${QMR_KIOSK_UNITS}\")
    set(QMR_KIOSK_UNIT_INSTALL_DIR ${QMR_KIOSK_UNIT_INSTALL_DIR})
    set(QMR_KIOSK_DOC_INSTALL_DIR ${QMR_KIOSK_DOC_INSTALL_DIR})
    set(QMR_KIOSK_BINDIR ${CMAKE_INSTALL_BINDIR})" COMPONENT kiosk)
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/QMR41726KioskInstall.cmake COMPONENT kiosk)
