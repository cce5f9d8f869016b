# What `cmake --install` puts where a desktop looks for it, and the .deb that CPack
# makes of it. One application id names the menu entry, the icon and the metainfo.
include(GNUInstallDirs)

set(VELMORA_APP_ID org.velmora.Velmora)
set(VELMORA_DATA ${PROJECT_SOURCE_DIR}/data)

install(TARGETS velmora velmora-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmora-xls RUNTIME DESTINATION ${VELMORA_HELPER_DIR})
install(FILES ${VELMORA_DATA}/${VELMORA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMORA_DATA}/${VELMORA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VELMORA_DATA}/icons/${VELMORA_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48x48 256x256)
    install(FILES ${VELMORA_DATA}/icons/${size}/${VELMORA_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# What Debian asks of every package besides the programs: the copyright, the
# changelog and a manual page for each program, compressed as dpkg expects them
# (gzip -9n: no name or time inside, so a rebuild packs the same bytes).
set(VELMORA_DEBIAN_DOCS ${CMAKE_BINARY_DIR}/debian-docs)
file(MAKE_DIRECTORY ${VELMORA_DEBIAN_DOCS})
foreach(page changelog:debian/changelog velmora.1:man/velmora.1
             velmora-admin.1:man/velmora-admin.1)
    string(REPLACE ":" ";" page ${page})
    list(GET page 0 name)
    list(GET page 1 source)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELMORA_DATA}/${source})
    execute_process(COMMAND gzip -9nc ${VELMORA_DATA}/${source}
        OUTPUT_FILE ${VELMORA_DEBIAN_DOCS}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${VELMORA_DATA}/debian/copyright ${VELMORA_DEBIAN_DOCS}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES ${VELMORA_DEBIAN_DOCS}/velmora.1.gz ${VELMORA_DEBIAN_DOCS}/velmora-admin.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
# velmora-admin knows the folder the package puts it in (tools/CMakeLists.txt).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora maintainers <maintainers@users.noreply.c-seed-fa34b203.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal accounting / contabilidad personal")
set(CPACK_PACKAGE_DESCRIPTION [[
Velmora records money movements between income, expense and cash accounts,
lists them with text filters and a date range with their totals, and keeps
one SQLite database per fiscal year. The interface is in Spanish.

Velmora anota los movimientos de dinero entre cuentas de ingresos, de gastos
y de caja, los lista con filtros de texto y por fechas con sus totales, y
guarda una base de datos SQLite por ejercicio.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Written out rather than left to dpkg-shlibdeps, which would also name the
# sanitizer libraries of a test build; the install test checks that this list
# covers what dpkg-shlibdeps finds. The xcb platform plugin is loaded at run
# time, so no tool sees it: qt6-qpa-plugins has to be named by hand. Qt Charts
# drags Qt OpenGL and the GL libraries onto the link line; a link without
# --as-needed (gcc drops it under the sanitizers) keeps them, and as
# libqt6charts6 and libqt6gui6 need them anyway, naming them costs nothing.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), \
libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.4.0), libqt6widgets6 (>= 6.4.0), \
libqt6printsupport6 (>= 6.4.0), libqt6charts6 (>= 6.4.0), qt6-qpa-plugins, \
libqt6opengl6 (>= 6.4.0), libqt6openglwidgets6 (>= 6.4.0), libglx0, libopengl0, \
libsqlite3-0 (>= 3.37.0), libzip4 (>= 1.7.3), libfreexl1 (>= 1.0.6)")
# Qt's own dialogs in Spanish, and a font to draw the windows with on a system
# that has none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
include(CPack)
