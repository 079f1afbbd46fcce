# The packages an administrator installs, made from this tree's own targets:
# on Linux the Debian package (cpack -G DEB), on Windows the build's MSI
# (target paquete_msi, made with wixl). Included once every target the
# packages may carry exists.

set(OLVADO_PAQUETES_DIR ${CMAKE_SOURCE_DIR}/paquetes)
set(OLVADO_MANTENEDOR "${OLVADO_COMPANY} <soporte@olvado.example>")

if(WIN32)
  # One UpgradeCode per architecture: the 32-bit and the 64-bit packages are
  # separate products, and each package replaces older ones of its own kind.
  # The company folder's component has no file to derive its GUID from.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "64")
    set(OLVADO_MSI_PLATFORM x64)
    set(OLVADO_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(OLVADO_MSI_WIN64 yes)
    set(OLVADO_MSI_UPGRADE_CODE 04E28A8B-FEAE-4D81-AE30-9BA03D84C137)
    set(OLVADO_MSI_GUID_COMPANIA 14D1D4D8-2C6D-4159-888D-708740AC56F6)
  else()
    set(OLVADO_MSI_PLATFORM x86)
    set(OLVADO_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(OLVADO_MSI_WIN64 no)
    set(OLVADO_MSI_UPGRADE_CODE C2E48A52-61A8-4FD2-93F4-C58AA90AF0E7)
    set(OLVADO_MSI_GUID_COMPANIA 9A1E1A3D-CE3C-447A-9408-F1B7818ADF4F)
  endif()
  # What the package carries: the two programs and, once the build has it, the
  # update library of the interactive mode beside them.
  set(OLVADO_MSI_PROGRAMAS olvado_updater olvado_admin)
  set(OLVADO_MSI_COMPONENTES_EXTRA "")
  set(OLVADO_MSI_REFERENCIAS_EXTRA "")
  if(TARGET olvado_actualizar)
    list(APPEND OLVADO_MSI_PROGRAMAS olvado_actualizar)
    set(OLVADO_MSI_COMPONENTES_EXTRA
      "            <Component Id=\"Biblioteca\" Guid=\"*\" Win64=\"${OLVADO_MSI_WIN64}\">\n              <File Id=\"OlvadoActualizar.dll\" Source=\"$<TARGET_FILE_NAME:olvado_actualizar>\" KeyPath=\"yes\"/>\n            </Component>")
    set(OLVADO_MSI_REFERENCIAS_EXTRA "      <ComponentRef Id=\"Biblioteca\"/>")
  endif()
  set(OLVADO_MSI_DIR ${CMAKE_BINARY_DIR}/paquetes/msi)
  configure_file(${OLVADO_PAQUETES_DIR}/windows/OlvadoUpdater.wxs.in ${OLVADO_MSI_DIR}/OlvadoUpdater.wxs.in @ONLY)
  file(GENERATE OUTPUT ${OLVADO_MSI_DIR}/OlvadoUpdater.wxs INPUT ${OLVADO_MSI_DIR}/OlvadoUpdater.wxs.in)

  # wixl reads the files from its working folder: stripped copies of the
  # programs (the build keeps its debugging information). Its package, whose
  # cabinet it always compresses, is only a step: the build's MSI is that
  # package with the cabinet stored (scripts/lib/msi-cabina), written only
  # when the rewrite succeeded.
  find_program(OLVADO_WIXL wixl)
  set(OLVADO_MSI_CABINA ${CMAKE_SOURCE_DIR}/scripts/lib/msi-cabina)
  if(OLVADO_WIXL AND TARGET olvado_admin)
    set(OLVADO_MSI ${CMAKE_BINARY_DIR}/OlvadoUpdater-${PROJECT_VERSION}-${OLVADO_MSI_PLATFORM}.msi)
    set(paso ${CMAKE_BINARY_DIR}/paquetes/wixl.msi)
    set(copias "")
    foreach(t ${OLVADO_MSI_PROGRAMAS})
      list(APPEND copias COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${t}> ${OLVADO_MSI_DIR}/
                         COMMAND ${CMAKE_STRIP} ${OLVADO_MSI_DIR}/$<TARGET_FILE_NAME:${t}>)
    endforeach()
    # A failed run leaves no package at all, not the previous one.
    add_custom_command(OUTPUT ${OLVADO_MSI}
      COMMAND ${CMAKE_COMMAND} -E rm -f ${OLVADO_MSI}
      ${copias}
      COMMAND ${OLVADO_WIXL} -a ${OLVADO_MSI_PLATFORM} -D Version=${PROJECT_VERSION} -o ${paso} OlvadoUpdater.wxs
      COMMAND ${OLVADO_MSI_CABINA} ${paso} ${OLVADO_MSI}
      COMMAND ${CMAKE_COMMAND} -E rm ${paso}
      WORKING_DIRECTORY ${OLVADO_MSI_DIR}
      DEPENDS ${OLVADO_MSI_PROGRAMAS} ${OLVADO_MSI_DIR}/OlvadoUpdater.wxs ${OLVADO_MSI_CABINA}
      COMMENT "Paquete MSI ${OLVADO_MSI_PLATFORM}: ${OLVADO_MSI}"
      VERBATIM)
    add_custom_target(paquete_msi DEPENDS ${OLVADO_MSI})
  endif()
  return()
endif()

# --- Debian package ---------------------------------------------------------

install(TARGETS olvado_updater RUNTIME DESTINATION bin)
if(TARGET olvado_admin)
  install(TARGETS olvado_admin RUNTIME DESTINATION bin)
endif()
# Private objects, not libraries for other packages to link: the updater loads
# its GUI module from ../lib/olvado beside itself; the family's programs load
# the update library by its path.
foreach(modulo olvado_gui olvado_actualizar)
  if(TARGET ${modulo})
    install(TARGETS ${modulo} LIBRARY DESTINATION lib/olvado)
  endif()
endforeach()

# Manual pages and the changelog carry the build's version; Debian wants them
# compressed, without a timestamp in the gzip header.
string(TIMESTAMP OLVADO_FECHA_PAQUETE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(OLVADO_DOC_DIR ${CMAKE_BINARY_DIR}/paquetes)
foreach(pagina olvado-updater.8 olvado-admin.1)
  configure_file(${OLVADO_PAQUETES_DIR}/man/${pagina}.in ${OLVADO_DOC_DIR}/${pagina} @ONLY)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" seccion ${pagina})
  install(FILES ${OLVADO_DOC_DIR}/${pagina}.gz DESTINATION share/man/man${seccion})
endforeach()
configure_file(${OLVADO_PAQUETES_DIR}/debian/changelog.in ${OLVADO_DOC_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nf olvado-updater.8 olvado-admin.1 changelog
                WORKING_DIRECTORY ${OLVADO_DOC_DIR} COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${OLVADO_DOC_DIR}/changelog.gz ${OLVADO_PAQUETES_DIR}/debian/copyright
        DESTINATION share/doc/olvado-updater)

# The machine-wide folders of the Linux locations: the registry's
# HKEY_LOCAL_MACHINE file and the product's common data folder (connection
# store). The data folder's "DB" subfolder belongs to the family's own
# installation, and the mutex folder under /tmp is made at run time.
install(DIRECTORY DESTINATION /etc/olvado)
install(DIRECTORY DESTINATION "/var/lib/${OLVADO_COMPANY}/${OLVADO_PRODUCT}")

# The night's preparation (olvado-updater --preparar): a oneshot service and
# its timer, enabled by postinst as debhelper would.
install(FILES ${OLVADO_PAQUETES_DIR}/systemd/olvado-updater-preparar.service
              ${OLVADO_PAQUETES_DIR}/systemd/olvado-updater-preparar.timer
        DESTINATION /lib/systemd/system)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME olvado-updater)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${OLVADO_COMPANY})
set(CPACK_PACKAGE_CONTACT ${OLVADO_MANTENEDOR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package launch: Windows packages through wine, elevation through pkexec,
# other documents through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine, pkexec, xdg-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "actualizador silencioso de los programas de Olvado")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
olvado-updater se ejecuta antes del programa principal de la familia Olvado:
abre la base de datos compartida con el almacén de conexiones cifrado y, si
hay publicado un paquete de instalación más reciente, lo escribe, comprueba
su digest MD5 y lo inicia en silencio. olvado-admin es la herramienta del
publicador: cifra textos, añade conexiones y publica paquetes.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${OLVADO_PAQUETES_DIR}/debian/postinst
    ${OLVADO_PAQUETES_DIR}/debian/prerm ${OLVADO_PAQUETES_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
