# A Debian package of everything `cmake --install` puts in place:
#   cmake --build build --target package   (or: cd build && cpack)
if(KELBRA_USER_INSTALL)
  message(STATUS "kelbra: per-user install; the Debian package is only built without KELBRA_USER_INSTALL")
  return()
endif()
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kelbra")
set(CPACK_PACKAGE_VENDOR "tessel-works")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "kelbra.so is a VST 2.4 effect that hands a track to a live Pure Data patch and mixes the\
 patch's result back in. The Pd externals keltap~ and kelfeed~ are the other end; kelbra-host\
 plays files through the plug-in without a DAW.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "tessel-works <kelbra@tessel-works.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "puredata-core (>= 0.51)")
include(CPack)
