# Replaces each of the player's WebAssembly modules in RUFFLE_DIR with a gzip-compressed copy,
# which the page inflates as it arrives (see page/page.js).
file(GLOB modules "${RUFFLE_DIR}/*.wasm")
foreach(module IN LISTS modules)
  file(ARCHIVE_CREATE OUTPUT "${module}.gz" PATHS "${module}" FORMAT raw COMPRESSION GZip
       COMPRESSION_LEVEL 9)
  file(REMOVE "${module}")
endforeach()
