# Run by cpack once a package is built (CPACK_POST_BUILD_SCRIPTS). CPack gives every package
# with a shared object under /usr/lib maintainer scripts that only call ldconfig. Our modules
# live in /usr/lib/veidora, which is not on the library path, so the call does nothing there,
# and a postrm keeps the package as "rc" after apt-get remove. Such scripts are taken out
# again; a script that does anything else stays.
find_program(VEIDORA_DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND ${VEIDORA_DPKG_DEB} -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)
  foreach(script IN ITEMS postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(NOT EXISTS "${path}")
      continue()
    endif()
    file(STRINGS "${path}" lines)
    list(FILTER lines EXCLUDE REGEX
      "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|[ \t]*ldconfig|fi|[ \t]*)$")
    if(NOT lines)
      file(REMOVE "${path}")
      set(changed TRUE)
    endif()
  endforeach()
  if(changed)
    execute_process(COMMAND ${VEIDORA_DPKG_DEB} --root-owner-group -Zgzip -b "${tree}" "${deb}"
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
