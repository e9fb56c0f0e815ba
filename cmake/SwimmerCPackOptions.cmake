# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE). The archives
# pack everything a plain install puts in place: the programs and the
# `archive` component, their folder layout. The Debian package packs the
# programs and the `deb` component instead, the Debian layout, which a plain
# install leaves out; CPack's DEB generator picks components only when it
# installs component-wise, so it does, and groups them into one package.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL Unspecified deb)
endif()
