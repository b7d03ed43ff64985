# SDL2_image's PCX loader, only as the yardstick of bench_pcx_decode.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND AND TARGET bench_pcx_decode)
  pkg_check_modules(ZR_SDL2_IMAGE QUIET IMPORTED_TARGET SDL2_image)
  if(ZR_SDL2_IMAGE_FOUND)
    target_link_libraries(bench_pcx_decode PRIVATE PkgConfig::ZR_SDL2_IMAGE)
    target_compile_definitions(bench_pcx_decode PRIVATE ZR_HAVE_SDL2_IMAGE=1)
  endif()
endif()
