# Runs the include check of cmake/VexaFloors.cmake on scratch trees: a tree that keeps
# the floors passes, and every kind of wrong include fails with its own message.
# cmake -DFLOORS=<VexaFloors.cmake> -DWORK=<scratch folder> -P FloorCheckTest.cmake
set(map_text "Intro text\n\n```\nmodel floors: low ← mid, side ← high\nwidgets floors: base ← top\n```\n")
set(sound_files
  "model/low/Low.h=#pragma once"
  "model/mid/Mid.h=#include \"model/low/Low.h\""
  "model/side/Side.h=#include \"model/low/Low.h\""
  "model/high/High.cpp=#include \"model/high/High.h\"\n#include \"model/mid/Mid.h\"\n#include \"model/side/Side.h\""
  "model/high/High.h=#include <QString>"
  "widgets/base/Base.h=#include \"model/high/High.h\"\n#include <QWidget>"
  "widgets/top/Top.cpp=#include \"widgets/base/Base.h\"\n#include \"model/low/Low.h\"")

set(failures 0)
# check(<name> <expected message or PASS> [<file>=<text> ...] [MAP <text>])
function(check name expected)
  cmake_parse_arguments(C "" "MAP" "" ${ARGN})
  set(dir ${WORK}/${name})
  file(REMOVE_RECURSE ${dir})
  foreach(entry IN LISTS sound_files C_UNPARSED_ARGUMENTS)
    string(FIND "${entry}" "=" eq)
    string(SUBSTRING "${entry}" 0 ${eq} path)
    math(EXPR eq "${eq} + 1")
    string(SUBSTRING "${entry}" ${eq} -1 text)
    file(WRITE ${dir}/${path} "${text}\n")
  endforeach()
  if(DEFINED C_MAP)
    file(WRITE ${dir}/map.md "${C_MAP}")
  else()
    file(WRITE ${dir}/map.md "${map_text}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -DMAP=${dir}/map.md -DDIR=${dir} -P ${FLOORS}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \n]+" " " out "${out}")
  if(expected STREQUAL "PASS")
    if(NOT result EQUAL 0)
      message(SEND_ERROR "${name}: expected to pass, failed: ${out}")
    endif()
  elseif(result EQUAL 0)
    message(SEND_ERROR "${name}: expected to fail with \"${expected}\", passed")
  elseif(NOT out MATCHES "${expected}")
    message(SEND_ERROR "${name}: expected \"${expected}\", got: ${out}")
  endif()
endfunction()

check(sound PASS)
check(include_of_a_higher_floor "Low.h includes model/high/, which is not below model/low/"
  "model/low/Low.h=#include \"model/high/High.h\"")
check(include_on_the_same_floor "Mid.h includes model/side/, which is not below model/mid/"
  "model/mid/Mid.h=#include \"model/side/Side.h\"")
check(indented_include "Base.h includes widgets/top/, which is not below widgets/base/"
  "widgets/base/Base.h=  #  include \"widgets/top/Top.h\"")
check(include_of_a_folder_on_no_floor "includes model/nowhere/, which is not below model/high/"
  "model/high/High.h=#include \"model/nowhere/X.h\"")
check(folder_on_no_floor "the folder model/extra/ stands on no floor" "model/extra/Extra.h=")
check(model_includes_a_widget "Low.h is in the model and includes"
  "model/low/Low.h=#include \"widgets/base/Base.h\"")
check(model_includes_qt_widgets "Side.h is in the model and includes"
  "model/side/Side.h=#include <QtWidgets/QLabel>")
check(map_without_widget_floors "has no line \"widgets floors: ...\""
  MAP "model floors: low ← mid, side ← high\n")
