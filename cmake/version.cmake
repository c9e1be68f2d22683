# What the program says about itself, from project(VERSION ...) alone: the
# header behind its title, about window and update check, the version
# resource, the manifest, and the facts scripts/release.sh reads. All of them
# are written into <build>/generated.
#
# The update check compares versions as decimal numbers ("1.10" is below
# "1.9"), so a version is MAJOR.MINOR and grows as a decimal number does.
if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "project version ${PROJECT_VERSION}: use MAJOR.MINOR, the update check "
                      "compares versions as decimal numbers")
endif()

set(TEMVIK_PRODUCT_NAME "Temvik")
set(TEMVIK_DESCRIPTION "Temvik 计划时间管理")
set(TEMVIK_COMPANY "Temvik 开发组")
set(TEMVIK_COPYRIGHT "Copyright © 2026 Temvik 开发组")
# Windows' four-part form: 1.0 -> 1,0,0,0.
set(TEMVIK_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
set(TEMVIK_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")

set(TEMVIK_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(app ${PROJECT_SOURCE_DIR}/src/app)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version/temvik_version.h.in
               ${TEMVIK_GENERATED_DIR}/temvik_version.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version/release.env.in
               ${TEMVIK_GENERATED_DIR}/release.env @ONLY)
configure_file(${app}/version.rc.in ${TEMVIK_GENERATED_DIR}/version.rc @ONLY)
configure_file(${app}/temvik.manifest.in ${TEMVIK_GENERATED_DIR}/temvik.manifest @ONLY)
unset(app)
