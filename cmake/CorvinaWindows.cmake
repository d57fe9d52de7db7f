# Settings shared by every Windows target of the suite.
enable_language(RC)

# The code speaks the ANSI APIs (texts are in the system code page) and calls the wide
# ones by name where a shell or COM interface needs UTF-16. The targeted system level keeps
# structure sizes of the old systems (NONCLIENTMETRICS of 340 bytes).
add_compile_definitions(
  WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 STRICT NOMINMAX
  $<$<CONFIG:Debug>:CORVINA_DEBUG>)
add_compile_options(-Wall -Wextra -Werror -Wno-unknown-pragmas -Wno-cast-function-type)

# Link statically so that the binaries import only system DLLs; strip release builds.
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # The .def files name the undecorated COM exports; let ld bind them to the stdcall symbols.
  add_link_options(-Wl,--enable-stdcall-fixup)
endif()

# Resource scripts are UTF-8; headers, manifests, icons, bitmaps and type libraries they
# pull in are tracked through the preprocessor's dependency file.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001 -O coff")
set(CMAKE_DEPFILE_FLAGS_RC "--preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=<DEP_FILE>")
set(CMAKE_RC_DEPFILE_FORMAT gcc)

# The product is 32-bit; the x86_64 build needs its own architecture in the manifests or the
# loader finds no matching common controls.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CORVINA_MANIFEST_ARCH amd64)
else()
  set(CORVINA_MANIFEST_ARCH X86)
endif()

# corvina_add_manifest(NAME): NAME.manifest.in of this folder made into NAME.manifest of the
# binary folder, for the resource script to pull in.
function(corvina_add_manifest name)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${name}.manifest.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest @ONLY)
endfunction()

# Type libraries import stdole2.tlb of their own architecture from Wine's Windows folder.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CORVINA_WIDL_ARCH --win64)
  set(CORVINA_WINE_DLLDIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  set(CORVINA_WIDL_ARCH --win32)
  set(CORVINA_WINE_DLLDIR /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()
if(NOT EXISTS ${CORVINA_WINE_DLLDIR}/stdole2.tlb)
  message(FATAL_ERROR "${CORVINA_WINE_DLLDIR}/stdole2.tlb is missing: run tools/deps")
endif()

# Builds a type library from a UTF-8 IDL. widl copies helpstring bytes as they are and
# oleaut32 decodes them with the ANSI code page, so the IDL is first converted to CP932.
function(corvina_add_typelib target idl tlb)
  get_filename_component(name ${idl} NAME_WE)
  set(cp932 ${CMAKE_CURRENT_BINARY_DIR}/${name}.cp932.idl)
  add_custom_command(
    OUTPUT ${tlb}
    COMMAND iconv -f UTF-8 -t CP932 ${idl} -o ${cp932}
    COMMAND ${CORVINA_WIDL} ${CORVINA_WIDL_ARCH} -t -I/usr/include/wine/wine/windows
            -L${CORVINA_WINE_DLLDIR} -o ${tlb} ${cp932}
    DEPENDS ${idl}
    VERBATIM)
  add_custom_target(${target} DEPENDS ${tlb})
endfunction()
