# What `cmake --install` lays out on Linux, and the Debian package made of
# it (`make deb`):
#
#   bin/velda-convert, bin/velda-thumbnailer
#   share/man/man1/velda-convert.1.gz, velda-thumbnailer.1.gz
#   share/thumbnailers/velda.thumbnailer   how file managers run the thumbnailer
#   share/mime/packages/velda.xml          the MIME types of MSX pictures
#   share/doc/velda/                       README.md, the converter's manual,
#                                          changelog.gz, copyright
#   lib/<arch>/gdk-pixbuf-2.0/2.10.0/loaders/libpixbufloader-velda.so
#   lib/<arch>/qt5/plugins/imageformats/libqvelda.so, and qt6's
#                                          the image viewers' plug-ins, where
#                                          gdk-pixbuf and Qt look under /usr
#                                          (src/loaders/CMakeLists.txt)
#
# Under /usr, Debian's gdk-pixbuf adds the loader to its cache by itself: a
# dpkg trigger on its loaders folder runs gdk-pixbuf-query-loaders when a
# package puts a loader there or takes one away. Under another prefix the
# programs are told where to look (GDK_PIXBUF_MODULEDIR and
# gdk-pixbuf-query-loaders, QT_PLUGIN_PATH).
#
# The manual pages are made from the programs' own --help and --version by
# help2man; without it, and in the sanitizer builds, they are left out.
include(GNUInstallDirs)

install(TARGETS velda-convert velda-thumbnailer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pixbufloader-velda)
  install(TARGETS pixbufloader-velda LIBRARY DESTINATION ${VELDA_PIXBUF_LOADERS_DIR})
  # Installed straight into the folder the system's gdk-pixbuf reads (make
  # install PREFIX=/usr), the loader is added to its cache as the trigger
  # would; a package's staging folder (DESTDIR) is left to the trigger.
  pkg_get_variable(VELDA_PIXBUF_QUERY_LOADERS gdk-pixbuf-2.0 gdk_pixbuf_query_loaders)
  install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND \"\${CMAKE_INSTALL_PREFIX}/${VELDA_PIXBUF_LOADERS_DIR}\" STREQUAL \"${VELDA_PIXBUF_MODULEDIR}\")
      execute_process(COMMAND ${VELDA_PIXBUF_QUERY_LOADERS} --update-cache)
    endif()")
endif()
foreach(plugin IN LISTS VELDA_QT_PLUGINS)
  get_target_property(plugin_dir ${plugin} VELDA_INSTALL_DIR)
  install(TARGETS ${plugin} LIBRARY DESTINATION ${plugin_dir})
endforeach()

# The thumbnailer names its program as file managers find it, on the PATH.
install(FILES ${CMAKE_SOURCE_DIR}/share/thumbnailers/velda.thumbnailer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${CMAKE_SOURCE_DIR}/share/mime/packages/velda.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Compressed as Debian wants them, and without a time stamp (-n), so the
# package is the same whenever it is built.
set(VELDA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velda)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/share/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/CHANGELOG > ${CMAKE_BINARY_DIR}/share/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG VERBATIM)
set(VELDA_SHARED_FILES ${CMAKE_BINARY_DIR}/share/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/share/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
              ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/velda-convert.md
        DESTINATION ${VELDA_DOC_DIR})

find_program(VELDA_HELP2MAN help2man)
if(VELDA_HELP2MAN AND NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
  set(VELDA_MAN_NAME_velda-convert "convert MSX2/MSX2+ screen pictures to BMP or PNG")
  set(VELDA_MAN_NAME_velda-thumbnailer "make thumbnails of MSX2/MSX2+ screen pictures")
  foreach(program velda-convert velda-thumbnailer)
    set(page ${CMAKE_BINARY_DIR}/share/man/${program}.1.gz)
    # SOURCE_DATE_EPOCH: the page's date is the project's, not the build's.
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1796731200
              ${VELDA_HELP2MAN} --no-info --section=1
              "--name=${VELDA_MAN_NAME_${program}}"
              --output=${CMAKE_BINARY_DIR}/share/man/${program}.1 $<TARGET_FILE:${program}>
      COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/share/man/${program}.1
      DEPENDS ${program} VERBATIM)
    list(APPEND VELDA_SHARED_FILES ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
elseif(NOT VELDA_HELP2MAN)
  message(STATUS "help2man not found: no manual pages")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/share/man)
add_custom_target(velda_shared_files ALL DEPENDS ${VELDA_SHARED_FILES})

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME velda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The VELDA developers <velda@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MSX2/MSX2+ screen pictures: converter, thumbnails, viewer plug-ins")
set(CPACK_PACKAGE_DESCRIPTION
  "velda-convert converts the screen pictures of MSX2 and MSX2+ computers
(BSAVE dumps of SCREEN 5, 6, 7, 8, 10, 11 and 12, Graph Saurus pictures,
BASIC COPY files, loose or inside MSX-DOS disk images) to BMP or PNG.
velda-thumbnailer shows them as thumbnails in file managers, and a
gdk-pixbuf loader and a Qt image-format plugin open them in every image
viewer that reads through either (Eye of GNOME, gThumb, Gwenview).")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS shared-mime-info)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
