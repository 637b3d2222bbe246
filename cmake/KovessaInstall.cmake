# What `cmake --install` puts where, laid out as the screensaver daemons expect:
#
#   lib/kovessa/Kovessa.scr, Kovessa.xy      both programs side by side (the show finds the
#                                            renderer beside its own real path)
#   libexec/xscreensaver/kovessa             a relative link to Kovessa.scr in the hack folder,
#                                            the only place MATE's and XScreenSaver's lists run
#                                            hacks from
#   lib/xscreensaver/kovessa                 the same link in the older hack folder, where
#                                            xsecurelock's saver_xscreensaver looks for the
#                                            hacks of a user's ~/.xscreensaver list
#   share/xscreensaver/config/kovessa.xml    XScreenSaver's settings form
#   share/applications/screensavers/kovessa.desktop   the daemons' theme entry
#   share/applications/kovessa-settings.desktop       the menu entry for the settings dialog
#   share/icons/hicolor/NxN/apps/kovessa.png          the dialog's icon for that entry
#   bin/kovessa-xscreensaver-register        adds Kovessa to a user's ~/.xscreensaver
#   share/doc/kovessa/                       README, its pictures and the licence

set(KOVESSA_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
set(KOVESSA_HACK_PATH ${CMAKE_INSTALL_PREFIX}/${KOVESSA_HACK_DIR}/kovessa)
set(KOVESSA_SETTINGS_PROGRAM ${CMAKE_INSTALL_PREFIX}/${KOVESSA_INSTALL_PROGRAMDIR}/Kovessa.scr)

install(TARGETS Kovessa.scr Kovessa.xy RUNTIME DESTINATION ${KOVESSA_INSTALL_PROGRAMDIR})

# A relative link keeps working wherever the tree is staged or unpacked.
foreach(hack_dir ${KOVESSA_HACK_DIR} lib/xscreensaver)
    file(RELATIVE_PATH hack_link /prefix/${hack_dir}
         /prefix/${KOVESSA_INSTALL_PROGRAMDIR}/Kovessa.scr)
    install(CODE "
        set(hack_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${hack_dir}\")
        file(MAKE_DIRECTORY \"\${hack_dir}\")
        message(STATUS \"Installing: \${hack_dir}/kovessa -> ${hack_link}\")
        file(CREATE_LINK \"${hack_link}\" \"\${hack_dir}/kovessa\" SYMBOLIC)
    ")
endforeach()

install(FILES data/kovessa.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/xscreensaver/config)
configure_file(data/kovessa.desktop.in ${CMAKE_BINARY_DIR}/data/kovessa.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/kovessa.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications/screensavers)
configure_file(data/kovessa-settings.desktop.in ${CMAKE_BINARY_DIR}/data/kovessa-settings.desktop
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/kovessa-settings.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES assets/settings/icons/kovessa-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME kovessa.png)
endforeach()

install(TARGETS kovessa-xscreensaver-register RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES tools/kovessa-xscreensaver-register.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md LICENSE DESTINATION ${KOVESSA_INSTALL_DOCDIR})
install(FILES docs/dialog.png docs/dialog-long-path.png docs/preview.png docs/buttons.png
              docs/show.jpg
        DESTINATION ${KOVESSA_INSTALL_DOCDIR}/docs)
