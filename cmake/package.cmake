# The Debian package, made by CPack's DEB generator from the install rules in
# cmake/install.cmake, so that `cmake --install` and the package hold the same tree and the
# version comes from project() alone. scripts/package builds it from a clean Release build
# and checks it with lintian.
# Depends is computed from the programs by dpkg-shlibdeps; the packages named here are
# what the programs load by name rather than link: the fonts the examples and the manual
# use. Qt's translations of its own dialogs are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumexa)
set(CPACK_PACKAGE_VENDOR "The Lumexa developers")
set(CPACK_PACKAGE_CONTACT "The Lumexa developers <packages@lumexa.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a line of text or a logo into a large picture of LED dots")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME lumexa)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack puts the summary before it and indents it as Debian's control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Lumexa turns one line of text in any installed font, or a small logo picture,
into a very large picture made of LED-like dots. A live preview shows the dot
layout while the font, size, threshold, displacement, kerning, density and
seed are tuned; a set of LED pictures gives every dot its look.

The render lays the dots out at full size, turns and composes them, and
streams the result into a Targa, PNG or TIFF file of any size, a PDF for a
print shop or a poster of sheets to print and glue. lumexa-render renders
saved projects without a window.")

include(CPack)
