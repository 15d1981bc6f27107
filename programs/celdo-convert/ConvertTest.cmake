# cmake -DCONVERT=... -DSAMPLES=... -DDEFAULT_PALETTE=... -DWORK=... -P ConvertTest.cmake
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
if(EXISTS ${WORK}/out.cel)
    message(FATAL_ERROR "a failed conversion left an output file")
endif()
