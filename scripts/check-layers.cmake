# Fails when a source file of src/ includes a header of a higher layer, or a
# plugin includes one of the program's headers beyond the text codecs and
# the library interfaces. Run by the build before anything is compiled:
#   cmake -DSOURCE_DIR=<tree> -P scripts/check-layers.cmake
cmake_minimum_required(VERSION 3.20)
set(layers text reading documents daisy platform base config audio engine driver)
set(failures "")

function(check_file file allowed)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*" "\\1" folder "${line}")
    if(folder IN_LIST layers AND NOT folder IN_LIST allowed)
      file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
      string(STRIP "${line}" line)
      set(failures "${failures}\n  ${name}: ${line}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

set(below "")
foreach(layer IN LISTS layers)
  list(APPEND below ${layer})
  file(GLOB files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
  foreach(file IN LISTS files)
    check_file(${file} "${below}")
  endforeach()
endforeach()
file(GLOB_RECURSE plugin_files ${SOURCE_DIR}/plugins/*.h ${SOURCE_DIR}/plugins/*.cpp)
foreach(file IN LISTS plugin_files)
  check_file(${file} "text")
endforeach()

if(failures)
  message(FATAL_ERROR "A layer includes a header of a layer above it:${failures}")
endif()
