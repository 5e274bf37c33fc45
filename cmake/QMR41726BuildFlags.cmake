# Release and package builds take Debian's build flags with every hardening feature
# (dpkg-buildflags, DEB_BUILD_MAINT_OPTIONS=hardening=+all): stack protector, FORTIFY, format
# security, PIE, full RELRO and BIND_NOW. dpkg-buildflags also maps the source folder to "." in
# debug information and __FILE__ (-ffile-prefix-map), so that two clones in different folders build
# the same bytes; a build folder outside the source folder is mapped to "build" alike.
# The sanitizer, fuzz and coverage presets switch them off: their instrumentation is the point.
set(qmr_release_types Release RelWithDebInfo MinSizeRel)
if(CMAKE_BUILD_TYPE IN_LIST qmr_release_types)
    set(qmr_flags_default ON)
else()
    set(qmr_flags_default OFF)
endif()
option(QMR_DEBIAN_BUILD_FLAGS "Compile and link with dpkg-buildflags' hardened flags" ${qmr_flags_default})

# The time every generated file and package records: the last commit's, so that a build of the
# same commit gives the same bytes (reproducible-builds.org's SOURCE_DATE_EPOCH). Outside a git
# checkout, the variable given in the environment, or else the latest changelog entry's date.
function(qmr_source_date_epoch out)
    find_package(Git QUIET)
    if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # A new commit configures again, for its own time.
        if(EXISTS ${git_dir}/logs/HEAD)
            set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
        endif()
    endif()
    if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        if("$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
            set(epoch $ENV{SOURCE_DATE_EPOCH})
        else()
            execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/packaging/changelog -STimestamp
                OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
            if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
                message(FATAL_ERROR "No SOURCE_DATE_EPOCH: not a git checkout, none in the environment, and "
                                    "dpkg-parsechangelog could not read packaging/changelog (${status})")
            endif()
        endif()
    endif()
    set(${out} ${epoch} PARENT_SCOPE)
endfunction()
qmr_source_date_epoch(QMR_SOURCE_DATE_EPOCH)
# The resource compiler records each file's time unless SOURCE_DATE_EPOCH is set where it runs;
# every custom command (rcc, lrelease, ...) runs with it.
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QMR_SOURCE_DATE_EPOCH}")

if(NOT QMR_DEBIAN_BUILD_FLAGS)
    return()
endif()
find_program(QMR_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT QMR_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags (package dpkg-dev) is missing: run scripts/install-deps, or configure "
                        "with -DQMR_DEBIAN_BUILD_FLAGS=OFF for an unhardened build")
endif()
foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${QMR_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed (${status})")
    endif()
    set(qmr_${kind} "${flags}")
endforeach()
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${PROJECT_BINARY_DIR} NORMALIZE qmr_build_inside)
if(NOT qmr_build_inside)
    string(APPEND qmr_CPPFLAGS " -ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
endif()
string(APPEND CMAKE_C_FLAGS " ${qmr_CPPFLAGS} ${qmr_CFLAGS}")
string(APPEND CMAKE_CXX_FLAGS " ${qmr_CPPFLAGS} ${qmr_CXXFLAGS}")
foreach(kind EXE SHARED MODULE)
    string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${qmr_LDFLAGS}")
endforeach()
