# Where `cmake --install` puts things, following each ecosystem's habits:
# Linux VST 2.4 hosts scan lib/vst (system-wide) and ~/.vst (per user); Pd
# searches lib/pd/extra (system-wide) and ~/.local/lib/pd/extra (per user).
# Included before the subdirectories so that their install rules see these.
option(KELBRA_USER_INSTALL "Install for this user only: ~/.vst, ~/.local/lib/pd/extra/kelbra, ~/.local/bin" OFF)

if(KELBRA_USER_INSTALL)
  if(NOT DEFINED ENV{HOME} OR "$ENV{HOME}" STREQUAL "")
    message(FATAL_ERROR "KELBRA_USER_INSTALL needs HOME to be set")
  endif()
  # Absolute places in the home folder; the install prefix does not apply.
  set(KELBRA_VST_INSTALL_DIR "$ENV{HOME}/.vst")
  set(KELBRA_PD_INSTALL_DIR "$ENV{HOME}/.local/lib/pd/extra/kelbra")
  set(KELBRA_HOST_INSTALL_DIR "$ENV{HOME}/.local/bin")
else()
  set(KELBRA_VST_INSTALL_DIR "lib/vst" CACHE PATH "Where kelbra.so is installed, below the prefix")
  # Plain lib, not the multiarch libdir: Pd looks in <prefix>/lib/pd/extra.
  set(KELBRA_PD_INSTALL_DIR "lib/pd/extra/kelbra"
      CACHE PATH "Where the Pd externals, their help patches and the example patch are installed")
  set(KELBRA_HOST_INSTALL_DIR "${CMAKE_INSTALL_BINDIR}")
endif()
