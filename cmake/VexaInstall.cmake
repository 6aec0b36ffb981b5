# Install rules: the three shared libraries with their public headers, and the programs.
include(GNUInstallDirs)

foreach(lib vx2comp vx2sim vxbas32)
  if(TARGET ${lib})
    install(TARGETS ${lib} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endforeach()

foreach(header compiler/include/vx2comp.h simulator/include/vx2sim.h basic/include/vxbas32.h)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${header})
    install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
endforeach()

foreach(program v2comp vx2dl vexaide)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The IDE's system and common module lists, beside the program where its
# default settings look for them.
if(TARGET vexaide)
  install(FILES ${PROJECT_SOURCE_DIR}/ide/Lib/modules.txt DESTINATION ${CMAKE_INSTALL_BINDIR}/Lib)
  install(FILES ${PROJECT_SOURCE_DIR}/ide/UserLib/modules.txt
    DESTINATION ${CMAKE_INSTALL_BINDIR}/UserLib)
endif()
