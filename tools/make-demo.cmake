# Creates the demo collection in DEMO_DIR (the directory of the tessary program):
#   DEMO_DIR/Tessary.ini            only when there is none, so a user's own file is never touched
#   DEMO_DIR/demo/GoodTools/        one file per system standing in for its GoodTool
#   DEMO_DIR/demo/roms/<System>/    ROM files named the way the GoodTools name them
# Files that already exist are left as they are.

if(NOT DEMO_DIR)
    message(FATAL_ERROR "usage: cmake -DDEMO_DIR=<directory of tessary> -P make-demo.cmake")
endif()

set(demo_root "${DEMO_DIR}/demo")
set(tools_dir "${demo_root}/GoodTools")
set(roms_dir "${demo_root}/roms")

function(write_if_missing path content)
    if(NOT EXISTS "${path}")
        file(WRITE "${path}" "${content}")
    endif()
endfunction()

set(ini "Good*.exe Directory=${tools_dir}/\nSame as Rom Path=false\n")
string(APPEND ini "Check Version At Startup=false\nLoad Summary At Startup=false\n\n")

# add_system(<key without "["> <system name> <directory> <tool> <extension> <ROM names...>)
# The key's "[" is added here: an unbalanced bracket in an argument would stop CMake from
# splitting the list that follows it.
function(add_system key name directory tool extension)
    set(key "[${key}")
    set(rom_dir "${roms_dir}/${directory}")
    file(MAKE_DIRECTORY "${rom_dir}")
    write_if_missing("${tools_dir}/${tool}"
        "Stand-in for ${tool}: the substitute GoodTool replaces this file.\n")
    foreach(rom IN LISTS ARGN)
        # Each ROM gets contents of its own, so a checksum tells every file apart.
        string(SHA256 fill "${rom}")
        write_if_missing("${rom_dir}/${rom}.${extension}" "DEMO-ROM ${key} ${rom}\n${fill}\n")
    endforeach()
    string(APPEND ini "${key}=${name}\nRom Path=${rom_dir}/\nFile Name=${tool}\n\n")
    set(ini "${ini}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${tools_dir}")

add_system(GBA "Game Boy Advance" GBA GoodGBA.exe gba
    "Comet Courier (U) [!]" "Comet Courier (E) [b1]" "Lantern Keep (J) [T+Eng1.1]"
    "Lantern Keep (J) [!]" "Tiny Tactics Demo (PD)")
add_system(Gen "Sega Genesis" Genesis GoodGen.exe gen
    "Astro Blaster (U) [!]" "Astro Blaster (U) [b1]" "Astro Blaster (U) [h1]"
    "Castle of Mirrors (E) [!]" "Castle of Mirrors (J) [T+Eng]" "Neon Knights (JU) [o1]"
    "Pixel Racer (PD)" "Turbo Dash (U) (Hack)")
add_system(NES "Nintendo NES" NES GoodNES.exe nes
    "Dragon Peak (J) [!]" "Dragon Peak (J) [T+Eng1.0]" "Dragon Peak (J) [b2]"
    "Frog Ferry (U) [!]" "Frog Ferry (U) [h1C]" "Rocket Mole (PD)" "Star Lancer (E) (Hack) [a1]")
add_system(SNES "Super Nintendo" SNES GoodSNES.exe smc
    "Harbor Lights (U) [!]" "Harbor Lights (U) [f1]" "Quartz Quest (J) [T-Ger]"
    "Quartz Quest (J) [!]" "Super Runner (U) (Hack)" "Wind Garden (E) [b1][o1]")

if(EXISTS "${DEMO_DIR}/Tessary.ini")
    message(STATUS "Keeping the existing ${DEMO_DIR}/Tessary.ini")
else()
    file(WRITE "${DEMO_DIR}/Tessary.ini" "${ini}")
    message(STATUS "Wrote ${DEMO_DIR}/Tessary.ini for the demo collection in ${roms_dir}")
endif()
