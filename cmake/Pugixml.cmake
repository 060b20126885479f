# The document tree is pugixml in its compact mode: about half the memory of
# the default layout for a large file, and faster to build. Debian ships only
# a shared library built without it, so its source package's pugixml.cpp is
# compiled here, with the flags of the rest (sanitizers and fuzzing included),
# and linked statically. scripts/install-dependencies.sh unpacks the source.
set(ZV_PUGIXML_SOURCE_DIR /usr/local/src/zantrove-pugixml CACHE PATH
    "pugixml's source tree, the folder holding src/pugixml.cpp")
if(NOT EXISTS ${ZV_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
  message(FATAL_ERROR "pugixml's source is not in ${ZV_PUGIXML_SOURCE_DIR}: "
                      "run scripts/install-dependencies.sh, or set ZV_PUGIXML_SOURCE_DIR")
endif()
add_library(zv_pugixml STATIC ${ZV_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
set_target_properties(zv_pugixml PROPERTIES AUTOMOC OFF)
# Ahead of /usr/include, where another pugixml's headers may lie.
target_include_directories(zv_pugixml SYSTEM BEFORE PUBLIC ${ZV_PUGIXML_SOURCE_DIR}/src)
# The mode changes the header too (moves of a document may throw), so every
# user compiles with it.
target_compile_definitions(zv_pugixml PUBLIC PUGIXML_COMPACT)
add_library(pugixml::pugixml ALIAS zv_pugixml)
