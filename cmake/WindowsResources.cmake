# Windows resources of the programs: the icon and the version information Explorer shows, from
# packaging/windows/ and the project's version. Included by a Windows build after the targets
# exist (the editor also wants WIN32_EXECUTABLE, so it opens no console window):
#   lumark_windows_resources(lumark "Lumark visibility file editor")
#   lumark_windows_resources(lumark-tool "Lumark command-line tool")
# The icon is committed, so a build never needs ImageMagick; after changing the PNG icons,
# `cmake --build <dir> --target lumark-windows-icon` makes it again.
get_filename_component(LUMARK_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(LUMARK_WINDOWS_DIR ${LUMARK_SOURCE_ROOT}/packaging/windows)
set(LUMARK_WINDOWS_ICON ${LUMARK_WINDOWS_DIR}/lumark.ico)

function(lumark_windows_resources target description)
    set(LUMARK_WINDOWS_NAME ${target})
    set(LUMARK_WINDOWS_DESCRIPTION "${description}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${LUMARK_WINDOWS_DIR}/lumark.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    # windres does not see the icon as a dependency of the script.
    set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${LUMARK_WINDOWS_ICON})
endfunction()

# The sizes Explorer and the taskbar pick from; the 256 one is stored as PNG.
find_program(LUMARK_IMAGEMAGICK_CONVERT convert)
if(LUMARK_IMAGEMAGICK_CONVERT AND NOT TARGET lumark-windows-icon)
    set(icon_sources)
    foreach(size 16 32 48 64 256)
        list(APPEND icon_sources ${LUMARK_SOURCE_ROOT}/resources/icons/${size}x${size}/lumark.png)
    endforeach()
    # Without dates in the embedded PNG the icon is the same bytes every time it is made.
    add_custom_target(lumark-windows-icon
        COMMAND ${LUMARK_IMAGEMAGICK_CONVERT} ${icon_sources} -define png:exclude-chunks=date,time
                +set date:create +set date:modify ${LUMARK_WINDOWS_ICON}
        VERBATIM)
endif()
