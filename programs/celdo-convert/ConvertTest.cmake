# cmake -DCONVERT=... -DSAMPLES=... -DDEFAULT_PALETTE=... -DWORK=... [-DTESTDATA=...] -P ConvertTest.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs the converter; `expected` is the exit code, `pattern` must occur in the
# combined output.
function(run expected pattern)
    execute_process(COMMAND ${CONVERT} ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL expected)
        message(FATAL_ERROR "celdo-convert ${ARGN}: exit ${code}, expected ${expected}\n${out}${err}")
    endif()
    if(NOT "${out}${err}" MATCHES "${pattern}")
        message(FATAL_ERROR "celdo-convert ${ARGN}: output lacks '${pattern}'\n${out}${err}")
    endif()
endfunction()

# A failing conversion: exit 1, `pattern` on standard error, nothing on
# standard output.
function(fails pattern)
    execute_process(COMMAND ${CONVERT} ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 1)
        message(FATAL_ERROR "celdo-convert ${ARGN}: exit ${code}, expected 1\n${out}${err}")
    endif()
    if(NOT "${err}" MATCHES "${pattern}" OR NOT "${out}" STREQUAL "")
        message(FATAL_ERROR "celdo-convert ${ARGN}: standard error lacks '${pattern}'\n${out}${err}")
    endif()
endfunction()

# A conversion that succeeds without a word on standard error.
function(quiet)
    execute_process(COMMAND ${CONVERT} ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0 OR NOT "${err}" STREQUAL "")
        message(FATAL_ERROR "celdo-convert ${ARGN}: exit ${code}, expected a quiet success\n${out}${err}")
    endif()
endfunction()

function(same a b)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "${a} and ${b} differ")
    endif()
endfunction()

function(size_is path expected)
    file(SIZE ${path} size)
    if(NOT size EQUAL expected)
        message(FATAL_ERROR "${path}: ${size} bytes, expected ${expected}")
    endif()
endfunction()

run(0 "\"format\":\"CEL\",\"type\":\"CELL\",\"kind\":2,.*\"width\":48,\"height\":112,\"bits\":8,\"offsetX\":120,\"offsetY\":40,\"dataOffset\":32" --info ${SAMPLES}/doll.cel)
run(0 "\"kind\":0,.*\"width\":15,\"height\":8,\"bits\":4" --info ${SAMPLES}/ribbon.cel)
run(0 "\"groups\":10,\"coloursPerGroup\":256" --info ${DEFAULT_PALETTE})

# Same kind in and out: byte for byte.
run(0 "" ${SAMPLES}/doll.cel ${WORK}/doll.cel)
same(${SAMPLES}/doll.cel ${WORK}/doll.cel)
run(0 "" ${SAMPLES}/doll.kcf ${WORK}/doll.kcf)
same(${SAMPLES}/doll.kcf ${WORK}/doll.kcf)

# 16 colours to 256 and back keeps indices and offsets.
run(0 "" --kind 256 ${SAMPLES}/dress.cel ${WORK}/dress256.cel)
run(0 "\"bits\":8,\"offsetX\":126,\"offsetY\":80" --info ${WORK}/dress256.cel)
run(0 "" --kind 16 ${WORK}/dress256.cel ${WORK}/dress16.cel)
same(${SAMPLES}/dress.cel ${WORK}/dress16.cel)
run(0 "" --kind old ${SAMPLES}/dress.cel ${WORK}/dress-old.cel)
size_is(${WORK}/dress-old.cel 796)

# True colour with the sample palette, and back through itself.
run(0 "" --palette ${SAMPLES}/doll.kcf --group 1 --kind 32 ${SAMPLES}/doll.cel ${WORK}/doll32.cel)
run(0 "\"kindText\":\"True Color\".*\"bits\":32" --info ${WORK}/doll32.cel)
run(0 "" ${WORK}/doll32.cel ${WORK}/doll32-copy.cel)
same(${WORK}/doll32.cel ${WORK}/doll32-copy.cel)
run(1 "このビット長の画像はセーブできません" --kind 256 ${WORK}/doll32.cel ${WORK}/no.cel)

# Palettes: all ten groups as 16 colours; a cell's colours as one group.
run(0 "" --kind 16 ${DEFAULT_PALETTE} ${WORK}/default16.kcf)
size_is(${WORK}/default16.kcf 352)
run(0 "" --palette ${DEFAULT_PALETTE} --group 3 ${SAMPLES}/doll.cel ${WORK}/night.kcf)
run(0 "\"groups\":1,\"coloursPerGroup\":256" --info ${WORK}/night.kcf)

# BMP: an 8-bit cell becomes an uncompressed 8-bit bitmap (48 × 112, 256
# colours: 54 + 1024 + 48 × 112 bytes) and comes back with the same pixels.
run(0 "" ${SAMPLES}/doll.cel ${WORK}/doll.bmp)
size_is(${WORK}/doll.bmp 6454)
run(0 "\"format\":\"BMP\",\"type\":\"BMP\",\"width\":48,\"height\":112,\"bits\":8,\"compression\":0,\"colours\":256,\"topDown\":false,\"dataOffset\":1078,\"fileSize\":6454" --info ${WORK}/doll.bmp)
run(0 "" ${WORK}/doll.bmp ${WORK}/doll-bmp.cel)
run(0 "\"kind\":2,.*\"width\":48,\"height\":112,\"bits\":8,\"offsetX\":0" --info ${WORK}/doll-bmp.cel)
run(0 "" ${WORK}/doll-bmp.cel ${WORK}/doll-again.bmp)
same(${WORK}/doll.bmp ${WORK}/doll-again.bmp)

# --bits for BMP: 1 bit (rows of 8 bytes), 4 bits (24), 24 bits (144).
run(0 "" --bits 1 ${WORK}/doll.bmp ${WORK}/doll1.bmp)
size_is(${WORK}/doll1.bmp 958)
run(0 "\"bits\":1,\"compression\":0,\"colours\":2" --info ${WORK}/doll1.bmp)
run(0 "" --bits 4 ${WORK}/doll.bmp ${WORK}/doll4.bmp)
size_is(${WORK}/doll4.bmp 2806)
run(0 "" --bits 24 ${WORK}/doll.bmp ${WORK}/doll24.bmp)
size_is(${WORK}/doll24.bmp 16182)
run(0 "\"bits\":24,\"compression\":0,\"colours\":0" --info ${WORK}/doll24.bmp)

# MAG: 256 colours by default, pixels and palette survive the round trip.
run(0 "" ${WORK}/doll.bmp ${WORK}/doll.mag)
run(0 "\"format\":\"MAG\",\"type\":\"MAG\",\"width\":48,\"height\":112,\"bits\":8,\"colours\":256,\"machineCode\":\"PCAT\",\"user\":\" ?（不明）.*\"comment\":\"\",\"machine\":0,\"machineFlags\":0,\"screenMode\":128,\"headerOffset\":32,\"flagBytesPerLine\":12" --info ${WORK}/doll.mag)
run(0 "" ${WORK}/doll.mag ${WORK}/doll-mag.bmp)
same(${WORK}/doll.bmp ${WORK}/doll-mag.bmp)
run(0 "" --bits 4 ${SAMPLES}/dress.cel ${WORK}/dress.mag)
run(0 "\"bits\":4,\"colours\":16,.*\"screenMode\":0" --info ${WORK}/dress.mag)

# ICO and CUR: a 16-colour cell as an icon keeps its indices; a cursor is
# always 32 × 32.
run(0 "" ${SAMPLES}/dress.cel ${WORK}/dress.bmp)
run(0 "" ${WORK}/dress.bmp ${WORK}/dress-bmp.cel)
run(0 "" ${SAMPLES}/dress.cel ${WORK}/dress.ico)
run(0 "\"format\":\"ICO\",\"type\":\"ICON\",\"variant\":\"icon\",\"pages\":1,\"pageList\":\\[{\"page\":1,\"width\":[0-9]+,\"height\":[0-9]+,\"colours\":16,\"bits\":4," --info ${WORK}/dress.ico)
run(0 "" ${WORK}/dress.ico ${WORK}/dress-ico.cel)
same(${WORK}/dress-bmp.cel ${WORK}/dress-ico.cel)
run(0 "" --bits 8 ${WORK}/doll.bmp ${WORK}/doll.ico)
run(0 "\"width\":48,\"height\":112,\"colours\":256,\"bits\":8" --info ${WORK}/doll.ico)
run(0 "" --bits 1 ${SAMPLES}/dress.cel ${WORK}/dress.cur)
run(0 "\"variant\":\"cursor\",\"pages\":1,.*\"width\":32,\"height\":32,\"colours\":2,\"bits\":1,\"hotspotX\":0,\"hotspotY\":0" --info ${WORK}/dress.cur)

# --page counts from 1; a page beyond the file's is refused.
run(0 "" --page 1 ${WORK}/dress.ico ${WORK}/dress-page1.cel)
same(${WORK}/dress-bmp.cel ${WORK}/dress-page1.cel)
fails("no page 2 \\(the file has 1\\)" --page 2 ${WORK}/dress.ico ${WORK}/out.bmp)
if(TESTDATA AND EXISTS ${TESTDATA}/ico/indexed/multiple_entries_with_different_bit_depth.ico)
    set(many ${TESTDATA}/ico/indexed/multiple_entries_with_different_bit_depth.ico)
    # Nine pages: 4-bit 32 and 16, 8-bit 48, 32, 16, then true colour.
    run(0 "\"pages\":9,.*{\"page\":3,\"width\":48,\"height\":48,\"colours\":256,\"bits\":8,.*{\"page\":6,\"error\":\"サポートしてない画像形式です\"}" --info ${many})
    run(0 "" --page 3 ${many} ${WORK}/page3.bmp)
    run(0 "\"width\":48,\"height\":48,\"bits\":8" --info ${WORK}/page3.bmp)
    run(0 "" ${many} ${WORK}/page1.bmp)
    run(0 "\"width\":32,\"height\":32,\"bits\":8" --info ${WORK}/page1.bmp)
    fails("サポートしてない画像形式です" --page 6 ${many} ${WORK}/out.bmp)
    fails("no page 99 \\(the file has 9\\)" --page 99 ${many} ${WORK}/out.bmp)
elseif(DEFINED ENV{CELDO_TESTDATA_REQUIRED} AND NOT "$ENV{CELDO_TESTDATA_REQUIRED}" STREQUAL "0")
    message(FATAL_ERROR "shared test data required but not found: ${TESTDATA}/ico/indexed")
else()
    message(STATUS "shared icon test data absent: multi-page cases skipped")
endif()

# True colour: passes through where the writer takes it, is refused where
# it does not, and is reduced with --reduce (onto DEFAULT.KCF's group 0
# without --palette); as an 8-bit BMP it goes through the BMP writer's own
# reduction.
run(0 "" ${WORK}/doll32.cel ${WORK}/true.bmp)
run(0 "\"bits\":24" --info ${WORK}/true.bmp)
run(0 "" ${WORK}/true.bmp ${WORK}/true32.cel)
run(0 "\"bits\":32" --info ${WORK}/true32.cel)
fails("このビット長の画像はセーブできません" ${WORK}/true.bmp ${WORK}/true.mag)
fails("このビット長の画像はセーブできません" ${WORK}/true.bmp ${WORK}/true.ico)
run(0 "" --reduce --palette ${SAMPLES}/doll.kcf --group 1 ${WORK}/true.bmp ${WORK}/reduced.mag)
run(0 "\"bits\":8,\"colours\":256" --info ${WORK}/reduced.mag)
run(0 "" --reduce --kind 256 ${WORK}/doll32.cel ${WORK}/reduced.cel)
run(0 "\"kind\":2,.*\"bits\":8" --info ${WORK}/reduced.cel)
run(0 "" --reduce ${WORK}/doll.bmp ${WORK}/not-reduced.bmp)
same(${WORK}/doll.bmp ${WORK}/not-reduced.bmp)
run(0 "" --bits 8 ${WORK}/true.bmp ${WORK}/adaptive.bmp)
size_is(${WORK}/adaptive.bmp 6454)

# PNG: cells of every kind go through a palette PNG and come back byte for
# byte (a 16-colour cell as a 4-bit PNG, the offsets in oFFs); true colour
# with a mask is RGBA.
foreach(cell doll dress ribbon)
    run(0 "" ${SAMPLES}/${cell}.cel ${WORK}/${cell}.png)
    run(0 "" ${WORK}/${cell}.png ${WORK}/${cell}-png.cel)
    same(${SAMPLES}/${cell}.cel ${WORK}/${cell}-png.cel)
endforeach()
run(0 "\"format\":\"PNG\",\"type\":\"PNG\",\"width\":48,\"height\":112,\"bitDepth\":8,\"colourType\":3,\"colourTypeText\":\"パレット\",\"bits\":8,\"interlaced\":false,\"paletteEntries\":256,\"transparentEntries\":1,\"offsets\":true,\"offsetX\":120,\"offsetY\":40,\"animated\":false" --info ${WORK}/doll.png)
run(0 "\"bitDepth\":4,.*\"paletteEntries\":16,.*\"offsetX\":126,\"offsetY\":80" --info ${WORK}/dress.png)
run(0 "\"bitDepth\":4,.*\"offsets\":false" --info ${WORK}/ribbon.png)
run(0 "" ${WORK}/doll.bmp ${WORK}/doll-bmp.png)
run(0 "" ${WORK}/doll-bmp.png ${WORK}/doll-png.bmp)
same(${WORK}/doll.bmp ${WORK}/doll-png.bmp)
run(0 "" --bits 4 ${SAMPLES}/doll.cel ${WORK}/doll4.png)
run(0 "\"bitDepth\":8" --info ${WORK}/doll4.png)
run(0 "" ${WORK}/doll32.cel ${WORK}/true.png)
run(0 "\"colourType\":6,.*\"bits\":32" --info ${WORK}/true.png)
run(0 "" ${WORK}/true.png ${WORK}/true-png.cel)
same(${WORK}/doll32.cel ${WORK}/true-png.cel)
run(2 "usage:" --bits 1 ${SAMPLES}/doll.cel ${WORK}/out.png)
execute_process(COMMAND head -c 300 ${WORK}/doll.png OUTPUT_FILE ${WORK}/cut.png)
fails("読込エラー" ${WORK}/cut.png ${WORK}/out.cel)
file(WRITE ${WORK}/bad.png "\x89PNX0123456789abcdef")
fails("フォーマット異常" --info ${WORK}/bad.png)

# Bad input: a cut file, a hostile header, unknown formats, usage errors.
execute_process(COMMAND head -c 100 ${SAMPLES}/doll.cel OUTPUT_FILE ${WORK}/cut.cel)
run(1 "読込エラー" ${WORK}/cut.cel ${WORK}/out.cel)
file(WRITE ${WORK}/bad.cel "KiSS  ")
run(1 "読込エラー" ${WORK}/bad.cel ${WORK}/out.cel)
run(1 "サポートしてない画像形式です" ${SAMPLES}/doll.cel ${WORK}/out.bmpx)
run(1 "サポートしてない画像形式です" ${SAMPLES}/doll.kcf ${WORK}/out.cel)
run(2 "usage:")
run(2 "usage:" --kind 24 ${SAMPLES}/doll.cel ${WORK}/out.cel)
run(2 "usage:" --group 1 ${SAMPLES}/doll.cel ${WORK}/out.cel)
run(2 "usage:" --kind 32 ${SAMPLES}/doll.kcf ${WORK}/out.kcf)
fails("ファイルオープンエラー" ${WORK}/missing.bmp ${WORK}/out.cel)
file(WRITE ${WORK}/bad.bmp "BA0123456789abcdef")
fails("フォーマット異常" ${WORK}/bad.bmp ${WORK}/out.mag)
fails("フォーマット異常" --info ${WORK}/bad.bmp)
execute_process(COMMAND head -c 300 ${WORK}/doll.bmp OUTPUT_FILE ${WORK}/cut.bmp)
fails("読込エラー" ${WORK}/cut.bmp ${WORK}/out.ico)
execute_process(COMMAND head -c 200 ${WORK}/doll.mag OUTPUT_FILE ${WORK}/cut.mag)
fails("読込エラー" ${WORK}/cut.mag ${WORK}/out.bmp)
fails("サポートしてない画像形式です" ${SAMPLES}/doll.kcf ${WORK}/out.bmp)
run(2 "usage:" --bits 24 ${WORK}/doll.bmp ${WORK}/out.mag)
run(2 "usage:" --bits 24 ${WORK}/doll.bmp ${WORK}/out.ico)
run(2 "usage:" --bits 8 ${WORK}/doll.bmp ${WORK}/out.cel)
run(2 "usage:" --bits 2 ${WORK}/doll.bmp ${WORK}/out.bmp)
run(2 "usage:" --kind 16 ${WORK}/doll.bmp ${WORK}/out.bmp)
run(2 "usage:" --page 0 ${WORK}/dress.ico ${WORK}/out.bmp)
run(2 "usage:" --page 1 ${SAMPLES}/doll.kcf ${WORK}/out.kcf)
run(2 "usage:" --info --bits 8 ${WORK}/doll.bmp)
foreach(out out.cel out.bmp out.mag out.ico)
    if(EXISTS ${WORK}/${out})
        message(FATAL_ERROR "a failed conversion left ${out}")
    endif()
endforeach()
if(EXISTS ${WORK}/out.cel)
    message(FATAL_ERROR "a failed conversion left an output file")
endif()

# The extension is the text after the last dot of the name; a dot in a
# folder's name does not count.
run(0 "" ${SAMPLES}/doll.cel ${WORK}/doll.v2.bmp)
run(0 "\"format\":\"BMP\",\"type\":\"BMP\",\"width\":48,\"height\":112,\"bits\":8" --info ${WORK}/doll.v2.bmp)
same(${WORK}/doll.bmp ${WORK}/doll.v2.bmp)
run(0 "" ${WORK}/doll.v2.bmp ${WORK}/doll.v2.cel)
run(0 "\"format\":\"CEL\",\"type\":\"CELL\",\"kind\":2,.*\"width\":48,\"height\":112" --info ${WORK}/doll.v2.cel)
file(MAKE_DIRECTORY ${WORK}/dir.cel)
run(1 "サポートしてない画像形式です" ${SAMPLES}/doll.cel ${WORK}/dir.cel/plain)
if(EXISTS ${WORK}/dir.cel/plain)
    message(FATAL_ERROR "a name without an extension was written")
endif()

# Kinds of 2 and 16 colours keep the low bits of each index.  A 4 × 2 cell of
# 256 colours with the indices 00 0F 10 11 / 02 FE FF 01: four of them lie
# beyond 16 colours, six beyond 2; an icon keeps 254 and 255 as transparency.
execute_process(COMMAND sh -c "printf '\\113\\151\\123\\123\\040\\010\\000\\000\\004\\000\\002\\000'; head -c 20 /dev/zero; printf '\\000\\017\\020\\021\\002\\376\\377\\001'"
    OUTPUT_FILE ${WORK}/painted.cel)
size_is(${WORK}/painted.cel 40)
run(0 "\"kind\":2,.*\"width\":4,\"height\":2,\"bits\":8" --info ${WORK}/painted.cel)
run(0 "painted16.cel: warning: 4 pixels change colour \\(indices beyond 16 colours\\)" --kind 16 ${WORK}/painted.cel ${WORK}/painted16.cel)
size_is(${WORK}/painted16.cel 36)
run(0 "warning: 4 pixels change colour \\(indices beyond 16 colours\\)" --kind old ${WORK}/painted.cel ${WORK}/painted-old.cel)
run(0 "warning: 6 pixels change colour \\(indices beyond 2 colours\\)" --bits 1 ${WORK}/painted.cel ${WORK}/painted1.bmp)
run(0 "warning: 4 pixels change colour \\(indices beyond 16 colours\\)" --bits 4 ${WORK}/painted.cel ${WORK}/painted4.bmp)
run(0 "warning: 4 pixels change colour \\(indices beyond 16 colours\\)" --bits 4 ${WORK}/painted.cel ${WORK}/painted.mag)
run(0 "warning: 2 pixels change colour \\(indices beyond 16 colours\\)" --bits 4 ${WORK}/painted.cel ${WORK}/painted.ico)
quiet(${WORK}/painted.cel ${WORK}/painted256.cel)
quiet(--bits 8 ${WORK}/painted.cel ${WORK}/painted8.bmp)
quiet(--kind 16 ${SAMPLES}/dress.cel ${WORK}/dress-quiet.cel)
# --strict-colours refuses instead and writes nothing.
fails("strict16.cel: 4 pixels change colour \\(indices beyond 16 colours\\); nothing written" --strict-colours --kind 16 ${WORK}/painted.cel ${WORK}/strict16.cel)
fails("6 pixels change colour \\(indices beyond 2 colours\\); nothing written" --strict-colours --bits 1 ${WORK}/painted.cel ${WORK}/strict.bmp)
foreach(out strict16.cel strict.bmp)
    if(EXISTS ${WORK}/${out})
        message(FATAL_ERROR "a refused conversion left ${out}")
    endif()
endforeach()
quiet(--strict-colours --kind 16 ${SAMPLES}/dress.cel ${WORK}/dress-strict.cel)
same(${SAMPLES}/dress.cel ${WORK}/dress-strict.cel)
run(2 "usage:" --info --strict-colours ${WORK}/painted.cel)
