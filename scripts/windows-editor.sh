# The editor's half of scripts/windows, sourced by it: Qt for Windows (built once by
# scripts/windows-qt), the configure arguments that find it, and what the editor adds to the
# portable folder and the installer. Uses scripts/windows's variables: LUMARK_ROOT, build,
# triple.

# Sets LUMARK_WINDOWS_QT (unless given) and windows_configure, the toolchain arguments: Qt's
# own toolchain file finds the cached Qt, and hands on to the project's MinGW one.
lumark_windows_qt_setup() {
    if [ -z "${LUMARK_WINDOWS_QT:-}" ]; then
        LUMARK_WINDOWS_QT="$("$LUMARK_ROOT/scripts/windows-qt" | tail -n 1)"
    fi
    windows_configure=(
        -DCMAKE_TOOLCHAIN_FILE="$LUMARK_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake"
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$LUMARK_ROOT/cmake/MinGW-w64-x86_64.cmake"
        -DLUMARK_BUILD_EDITOR=ON
        # Qt's package files widen the library search to DLLs; lumark-tool keeps zlib linked in.
        -DZLIB_LIBRARY_RELEASE="/usr/$triple/lib/libz.a"
    )
}

# DLLs come from Qt's bin folder and MinGW's runtime folders.
lumark_windows_dll_dirs() {
    local dir
    printf '%s\n' "$LUMARK_WINDOWS_QT/bin"
    for dir in /usr/lib/gcc/$triple/*-posix /usr/$triple/lib; do
        [ -d "$dir" ] && printf '%s\n' "$dir"
    done
}

# Adds the editor to the portable folder $1: lumark.exe, the platform plugin and the style,
# the DLLs all of them import (nothing more), all stripped, and the empty Lumark.ini that
# keeps the copy's settings beside it.
lumark_windows_stage_editor() {
    local stage="$1" qt="$LUMARK_WINDOWS_QT" dirs=() dir dll
    cp "$build/src/shell/lumark.exe" "$stage/"
    mkdir -p "$stage/platforms" "$stage/styles"
    cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    while IFS= read -r dir; do dirs+=(-L "$dir"); done < <(lumark_windows_dll_dirs)
    # lumark-tool goes on the PATH alone, so it must need no DLL beside it.
    if [ -n "$("$LUMARK_ROOT/packaging/windows/runtime-dlls.sh" "${dirs[@]}" "$stage/lumark-tool.exe")" ]; then
        echo "lumark-tool.exe needs DLLs beside it; it has to run on its own" >&2
        return 1
    fi
    while IFS= read -r dll; do
        cp "$dll" "$stage/"
    done < <("$LUMARK_ROOT/packaging/windows/runtime-dlls.sh" "${dirs[@]}" "$stage/lumark.exe" \
        "$stage/lumark-tool.exe" "$stage/platforms/qwindows.dll" "$stage/styles/qwindowsvistastyle.dll")
    find "$stage" -iname '*.exe' -o -iname '*.dll' | while IFS= read -r file; do
        $triple-strip "$file"
    done
    : >"$stage/Lumark.ini"
}

# Wine finds the DLLs of the programs and tests in the build folder through WINEPATH, and Qt
# its plugins (offscreen for the window tests) through QT_PLUGIN_PATH.
lumark_windows_wine_path() {
    local dir path=
    while IFS= read -r dir; do
        path="${path:+$path;}Z:${dir//\//\\}"
    done < <(lumark_windows_dll_dirs)
    export WINEPATH="$path"
    export QT_PLUGIN_PATH="Z:${LUMARK_WINDOWS_QT//\//\\}\\plugins"
}

# The licences of what the folder $1 ships, after the program's own, and what the editor adds
# to README.txt.
lumark_windows_editor_texts() {
    local stage="$1" qt_version
    qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
    sed -i 's/\r$//; s/$/\r/' "$stage/LICENSE"
    {
        cat <<TEXT

--------------------------------------------------------------------------------
Other software in this folder

Qt $qt_version (Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms\\qwindows.dll,
styles\\qwindowsvistastyle.dll): the Qt Company and others, used under the GNU
Lesser General Public License version 3, whose text follows. They are built
unchanged from Debian's qt6-base source package $qt_version, with the options
in scripts/windows-qt of Lumark's sources; you may replace them with your own
build of that Qt version.

libstdc++-6.dll, libgcc_s_seh-1.dll: the GCC runtime, GNU General Public License
version 3 with the GCC Runtime Library Exception. libwinpthread-1.dll: the
MinGW-w64 project, under the MIT (expat) licence. lumark-tool.exe holds libpng
and zlib, under their own licences. All texts follow.

================================ GNU LGPL 3 ====================================
TEXT
        cat /usr/share/common-licenses/LGPL-3
        echo "================================ GNU GPL 3 ====================================="
        cat /usr/share/common-licenses/GPL-3
        echo "=========================== Qt (Debian's copyright file) ======================"
        cat /usr/share/doc/libqt6core6/copyright
        echo "========================== GCC runtime (Debian's copyright file) =============="
        cat /usr/share/doc/gcc-mingw-w64-base/copyright
        echo "========================== MinGW-w64 (Debian's copyright file) ================"
        cat /usr/share/doc/mingw-w64-common/copyright
        echo "=============================== libpng ========================================"
        cat /usr/share/doc/libpng-dev/copyright
        echo "================================ zlib ========================================="
        cat /usr/share/doc/libz-mingw-w64-dev/copyright
    } | sed 's/\r$//; s/$/\r/' >>"$stage/LICENSE"
    sed 's/$/\r/' >>"$stage/README.txt" <<TEXT

lumark.exe is the editor. Start it, or drop a visibility file on it; it runs
from this folder as it is, with nothing installed. The empty Lumark.ini beside
it keeps its settings here: this copy stays portable, on a USB stick too.
Without that file, in a folder you may not write (such as Program Files), the
settings go to %APPDATA%\\Lumark\\Lumark.ini. Records of unsaved work, from
which a crashed editor restores it, live in %LOCALAPPDATA%\\Lumark\\recovery\\.

The setup program installs the same files for all users, with a Start menu
entry and "Open with Lumark" for .txt files.
TEXT
}

# The installer made from the folder $1, and tried under Wine.
lumark_windows_installer() {
    local stage="$1" version="$2" setup
    setup="$build/lumark-$version-windows-x64-setup.exe"
    rm -f "$setup"
    echo "Making the installer..."
    makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" \
        "$LUMARK_ROOT/packaging/windows/lumark.nsi" >"$build/makensis.log" 2>&1 || {
        cat "$build/makensis.log" >&2
        echo "makensis failed" >&2
        return 1
    }
    echo "Trying the installer under Wine..."
    "$LUMARK_ROOT/packaging/windows/check-installer.sh" "$setup" "$stage" "$version"
    echo "$setup"
}
