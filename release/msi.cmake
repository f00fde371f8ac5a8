# Run by CPack once the zip is made (CPACK_POST_BUILD_SCRIPTS): msitools' wixl builds the Windows
# Installer package from release/Morvane.wxs beside it, Morvane-3.2-win32.msi (-win64.msi for the
# 64-bit build). wixl takes only paths relative to the folder it runs in.
execute_process(
    COMMAND wixl -a ${CPACK_MORVANE_MSI_ARCH} -D Arch=${CPACK_MORVANE_MSI_ARCH} -D BuildDir=.
            -D SourceDir=${CPACK_MORVANE_SOURCE_FROM_BUILD} -o ${CPACK_PACKAGE_FILE_NAME}.msi
            ${CPACK_MORVANE_SOURCE_FROM_BUILD}/release/Morvane.wxs
    WORKING_DIRECTORY ${CPACK_MORVANE_BUILD_DIR}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "wixl could not build ${CPACK_PACKAGE_FILE_NAME}.msi")
endif()
message(STATUS "Package ${CPACK_MORVANE_BUILD_DIR}/${CPACK_PACKAGE_FILE_NAME}.msi generated.")
