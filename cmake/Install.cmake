# Install rules and the Debian package.
include(GNUInstallDirs)

# Our icon, drawn by the program's own artwork code, as PNG files for the desktop menus.
set(TOLVEX_ICON_SIZES 16 32 48)
add_executable(tolvex_icongen ${CMAKE_SOURCE_DIR}/packaging/icongen.cpp)
target_link_libraries(tolvex_icongen PRIVATE tolvex_gui tolvex_common)
target_include_directories(tolvex_icongen PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_target_properties(tolvex_icongen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
set(TOLVEX_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(TOLVEX_ICON_FILES)
foreach(size IN LISTS TOLVEX_ICON_SIZES)
    list(APPEND TOLVEX_ICON_FILES ${TOLVEX_ICON_DIR}/${size}x${size}/tolvex.png)
endforeach()
add_custom_command(
    OUTPUT ${TOLVEX_ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:tolvex_icongen> ${TOLVEX_ICON_DIR} ${TOLVEX_ICON_SIZES}
    DEPENDS tolvex_icongen
    COMMENT "Drawing the program icons"
    VERBATIM)
add_custom_target(tolvex_icons ALL DEPENDS ${TOLVEX_ICON_FILES})

install(TARGETS tolvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/alarm.wav DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvex)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tolvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN LISTS TOLVEX_ICON_SIZES)
    install(FILES ${TOLVEX_ICON_DIR}/${size}x${size}/tolvex.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian package: cpack -G DEB in the build directory.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tolvex developers <tolvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Internet pager: short text pages between workstations, telnet access")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_NAME tolvex)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6multimedia6 (>= 6.4), qt6-qpa-plugins, libtelnet2, libcap2-bin, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
