# `cmake --install`: both programs into bin/; the desktop entry, the AppStream metainfo, the
# MIME type of visibility files and the icons into the freedesktop locations under share/; the
# manual pages and lumark-tool's bash completion, made from the programs at build time.
# Included from the top-level CMakeLists.txt after the targets exist.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/BashCompletion.cmake)

# Desktop entry, metainfo and icon names must agree with each other; the shell tests check the
# source files for it.
set(LUMARK_APP_ID org.lumark.Lumark)
set(LUMARK_ICON_SIZES 16 32 48 64 128 256)
set(LUMARK_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/resources)

install(TARGETS lumark lumark-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LUMARK_RESOURCES_DIR}/${LUMARK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LUMARK_RESOURCES_DIR}/${LUMARK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${LUMARK_RESOURCES_DIR}/lumark-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${LUMARK_APP_ID}.xml)
install(FILES ${LUMARK_RESOURCES_DIR}/icons/lumark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS LUMARK_ICON_SIZES)
    install(FILES ${LUMARK_RESOURCES_DIR}/icons/${size}x${size}/lumark.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The PNG icons are committed, so building never needs an SVG renderer. After changing the SVG,
# `cmake --build build --target lumark-icons` renders them again into the source tree.
find_program(LUMARK_RSVG_CONVERT rsvg-convert)
if(LUMARK_RSVG_CONVERT)
    set(render_commands)
    foreach(size IN LISTS LUMARK_ICON_SIZES)
        list(APPEND render_commands
             COMMAND ${LUMARK_RSVG_CONVERT} -w ${size} -h ${size}
                     -o ${LUMARK_RESOURCES_DIR}/icons/${size}x${size}/lumark.png
                     ${LUMARK_RESOURCES_DIR}/icons/lumark.svg)
    endforeach()
    add_custom_target(lumark-icons ${render_commands} VERBATIM)
endif()

# Desktops look up MIME types and the programs for them in caches built from these files. A
# package build (DESTDIR set) leaves that to the package manager's triggers; a direct install
# refreshes the caches under the prefix when the tools are there.
install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "")
        set(share "${CMAKE_INSTALL_PREFIX}/share")
        find_program(update_mime update-mime-database)
        find_program(update_desktop update-desktop-database)
        if(update_mime)
            message(STATUS "Updating the MIME database in ${share}/mime")
            execute_process(COMMAND "${update_mime}" "${share}/mime" OUTPUT_QUIET)
        endif()
        if(update_desktop)
            message(STATUS "Updating the desktop database in ${share}/applications")
            execute_process(COMMAND "${update_desktop}" -q "${share}/applications")
        endif()
    endif()
]])
