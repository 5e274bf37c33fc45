# The SDK's installed layout, relative to the installation prefix. The prefix itself can change
# (cmake --install --prefix, CPack's /usr, a tree moved elsewhere): everything that finds one part
# of the SDK from another uses paths relative to these folders, never the prefix.

# On a multiarch system (Debian) libraries go to lib/<multiarch triplet> whatever the prefix, as
# Debian's own packages and a temporary prefix alike expect; GNUInstallDirs does so only for /usr.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH
        "Object code libraries (LIBDIR), lib/<multiarch> as on Debian")
endif()
include(GNUInstallDirs)

foreach(dir BINDIR LIBDIR INCLUDEDIR DATADIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
        message(FATAL_ERROR "CMAKE_INSTALL_${dir} (${CMAKE_INSTALL_${dir}}) must be relative to the "
                            "prefix: the installed tree finds its parts relative to each other")
    endif()
endforeach()

# The screen package has a folder of its own: it is loaded by path, never linked against.
set(QMR_PACKAGE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/qmr41726)
set(QMR_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/qmr41726)
set(QMR_HEADER_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/qmr41726)
set(QMR_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QMR41726)

# `from` relative to `to`, both folders under the prefix: "../lib/x86_64-linux-gnu/qmr41726".
function(qmr_relative_install_path out from to)
    file(RELATIVE_PATH relative /prefix/${from} /prefix/${to})
    string(REGEX REPLACE "/+$" "" relative "${relative}")
    if(relative STREQUAL "")
        set(relative ".")
    endif()
    set(${out} ${relative} PARENT_SCOPE)
endfunction()
