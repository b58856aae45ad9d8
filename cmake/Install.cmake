# `cmake --install`: both programs into bin/, the desktop entry and the icon into the
# freedesktop locations under share/. Included from the top-level CMakeLists.txt after the
# targets exist.
include(GNUInstallDirs)

install(TARGETS lumark lumark-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/lumark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/lumark.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
