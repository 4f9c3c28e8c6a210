# Assembles the test layout: a copy of the product folder (bin) with every stand-in DLL beside it,
# so that programs started from the layout load the stand-ins (with WINEDLLOVERRIDES "n,b").
#   cmake -DBIN=... -DSTANDINS=... -DLAYOUT=... -P assemble_layout.cmake
# The test programs are built straight into the layout, and so is the layout's own Scribo.exe
# (the product linked with the tests' display-mode changer); files a test run may have left in an
# old bin folder (test programs, logs, exported files) are not copied over them.
file(MAKE_DIRECTORY "${LAYOUT}")
if(IS_DIRECTORY "${BIN}")
  file(COPY "${BIN}/" DESTINATION "${LAYOUT}"
       PATTERN "Scribo.exe" EXCLUDE
       PATTERN "*_tests.exe" EXCLUDE
       PATTERN "startup_bench.exe" EXCLUDE
       PATTERN "*.log" EXCLUDE
       PATTERN "*.scfg" EXCLUDE)
endif()
if(IS_DIRECTORY "${STANDINS}")
  file(GLOB standin_dlls LIST_DIRECTORIES false "${STANDINS}/*.dll" "${STANDINS}/*.DLL")
  if(standin_dlls)
    file(COPY ${standin_dlls} DESTINATION "${LAYOUT}")
  endif()
endif()
# A stand-in that is no longer built must not linger: drop DLLs found in neither source.
file(GLOB layout_dlls LIST_DIRECTORIES false "${LAYOUT}/*.dll" "${LAYOUT}/*.DLL")
foreach(dll ${layout_dlls})
  get_filename_component(name "${dll}" NAME)
  if(NOT EXISTS "${BIN}/${name}" AND NOT EXISTS "${STANDINS}/${name}")
    file(REMOVE "${dll}")
  endif()
endforeach()
