# Run as a script (cmake -DDIR=... -DVERSION=... -P HelpVersion.cmake) on the build's copy of the
# help sources: every @VSC_VERSION@ in its pages becomes the program's version.
file(GLOB pages ${DIR}/*.htm)
foreach(page ${pages})
  file(READ ${page} text)
  string(REPLACE "@VSC_VERSION@" "${VERSION}" text "${text}")
  file(WRITE ${page} "${text}")
endforeach()
