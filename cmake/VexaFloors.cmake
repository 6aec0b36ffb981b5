# vexa_check_floors(<map> <dir>)
# The IDE's include rules, checked when the project is configured. <map> holds one line
# per library, "model floors: core ← settings ← commands, files ← ...": a folder of
# <dir>/model or <dir>/widgets includes its own files and those of the floors to its
# left; the folders of one floor do not include each other, and every folder stands on
# a floor. A model file includes no widget, QScintilla, Qt Widgets or Qt GUI header.
# Any other include fails the configure step with the file and the line.
# As a script (tests): cmake -DMAP=<map> -DDIR=<dir> -P VexaFloors.cmake
function(vexa_check_floors map dir)
  get_filename_component(dir ${dir} ABSOLUTE)
  file(STRINGS ${map} floor_lines ENCODING UTF-8 REGEX "^(model|widgets) floors: ")
  foreach(layer model widgets)
    set(order_${layer} "")
    foreach(line IN LISTS floor_lines)
      if(line MATCHES "^${layer} floors: (.+)$")
        set(order_${layer} "${CMAKE_MATCH_1}")
      endif()
    endforeach()
    if(order_${layer} STREQUAL "")
      message(FATAL_ERROR "${map} has no line \"${layer} floors: ...\" with the floor order")
    endif()
    string(REPLACE "←" ";" floors "${order_${layer}}")
    set(level 0)
    foreach(floor IN LISTS floors)
      string(REPLACE "," ";" folders "${floor}")
      foreach(folder IN LISTS folders)
        string(STRIP "${folder}" folder)
        set(floor_${layer}_${folder} ${level})
      endforeach()
      math(EXPR level "${level} + 1")
    endforeach()
  endforeach()

  # A new file re-runs the check in a build; a new include in a file runs it at the
  # next configure (./test.sh configures every time).
  set(depends CONFIGURE_DEPENDS)
  if(CMAKE_SCRIPT_MODE_FILE)
    set(depends "")
  endif()
  file(GLOB_RECURSE files ${depends} RELATIVE ${dir} ${dir}/model/*.h ${dir}/model/*.cpp
    ${dir}/widgets/*.h ${dir}/widgets/*.cpp)
  foreach(file IN LISTS files)
    if(NOT file MATCHES "^(model|widgets)/([^/]+)/")
      message(FATAL_ERROR "${dir}/${file} lies in no folder of model/ or widgets/")
    endif()
    set(layer ${CMAKE_MATCH_1})
    set(folder ${CMAKE_MATCH_2})
    set(order "${layer} floors: ${order_${layer}}")
    if(NOT DEFINED floor_${layer}_${folder})
      message(FATAL_ERROR "${dir}/${file}: the folder ${layer}/${folder}/ stands on no floor "
        "of ${map} (${order})")
    endif()
    if(layer STREQUAL "model")
      file(STRINGS ${dir}/${file} gui_includes
        REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](widgets/|Qsci/|QtWidgets|QtGui)")
      if(gui_includes)
        message(FATAL_ERROR "${dir}/${file} is in the model and includes ${gui_includes}")
      endif()
    endif()
    file(STRINGS ${dir}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"${layer}/")
    foreach(include IN LISTS includes)
      string(REGEX MATCH "\"${layer}/([^/\"]+)/" _ "${include}")
      set(other ${CMAKE_MATCH_1})
      if(other STREQUAL folder)
        continue()
      endif()
      if(NOT DEFINED floor_${layer}_${other}
         OR NOT floor_${layer}_${other} LESS floor_${layer}_${folder})
        message(FATAL_ERROR "${dir}/${file} includes ${layer}/${other}/, which is not below "
          "${layer}/${folder}/ in the floor order of ${map} (${order}): ${include}")
      endif()
    endforeach()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  vexa_check_floors(${MAP} ${DIR})
endif()
