# Runs "zoduz-cli export" and "zoduz-cli stitch" on a synthesized capture and on numbered
# parts, and checks output names, file contents, exit statuses and error lines. Arguments: CLI
# (the executable), WORK (a scratch folder).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

include(${CMAKE_CURRENT_LIST_DIR}/../cli_run.cmake)

function(expect status_wanted out_wanted err_wanted)
    if(NOT status EQUAL status_wanted OR NOT out STREQUAL out_wanted OR
       NOT err STREQUAL err_wanted)
        message(FATAL_ERROR "expected ${status_wanted} [${out_wanted}] [${err_wanted}]\n"
                            "got ${status} [${out}] [${err}]")
    endif()
endfunction()

function(expect_size path size)
    file(SIZE "${path}" actual)
    if(NOT actual EQUAL size)
        message(FATAL_ERROR "${path}: ${actual} bytes, expected ${size}")
    endif()
endfunction()

# The file starts with text, CR LF line ends included (compared as hex: the texts hold
# brackets and quotes).
function(expect_start path text)
    string(LENGTH "${text}" length)
    file(READ "${path}" start LIMIT ${length} HEX)
    string(HEX "${text}" wanted_hex)
    if(NOT start STREQUAL wanted_hex)
        file(READ "${path}" shown LIMIT ${length})
        message(FATAL_ERROR "${path} starts with:\n${shown}")
    endif()
endfunction()

set(capture "${WORK}/PDCapture.zaz")
run_cli(simulate spr -o "${capture}" --interval-ms 10)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "simulate failed: ${err}")
endif()
file(SIZE "${capture}" capture_size)

# Defaults: PD messages of the whole capture with the visible columns, the derived name.
run_cli(export "${capture}")
expect(0 "${WORK}/PDCapture_export.csv\n" "")
set(wanted "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"VBUS Current[A]\",\"VBUS Wattage[W]\",\"CC1 Voltage[V]\",\"CC1 Current[A]\",\"CC2 Voltage[V]\",\"CC2 Current[A]\",\"#\",\"Timestamp\",\"CH\",\"OS\",\"Power\",\"Data\",\"Cable Plug\",\"Type\",\"Mes ID\",\"Description\"\r\n")
expect_start("${WORK}/PDCapture_export.csv" "${wanted}")
run_cli(export "${capture}")
expect(0 "${WORK}/PDCapture_export (1).csv\n" "")

# A record slice of the whole capture starts after the leading InfoBlock.
run_cli(export "${capture}" --type zaz)
expect(0 "${WORK}/PDCapture_export.zaz\n" "")
math(EXPR slice_size "${capture_size} - 64")
expect_size("${WORK}/PDCapture_export.zaz" ${slice_size})

# Samples with two values; the range to the last packet.
run_cli(export "${capture}" --items samples --values vbus-voltage,cc2-current
        --to packet:99999 -o "${WORK}/samples.csv")
expect(0 "${WORK}/samples.csv\n" "")
expect_start("${WORK}/samples.csv"
             "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"CC2 Current[A]\"\r\n\"0\",\"0.00\",\"0.000\"\r\n")

# Graph Marker O sits at the origin when the file stores none.
run_cli(export "${capture}" --from marker:O --items both --all-columns -o "${WORK}/o.csv")
expect(0 "${WORK}/o.csv\n" "")

# Range rules and usage errors.
run_cli(export "${capture}" --from packet:99999)
string(REGEX MATCH "^zoduz-cli export: invalid range: --from packet:N needs N below the packet count \\([0-9]+\\)\n$" matched "${err}")
if(NOT status EQUAL 1 OR NOT matched)
    message(FATAL_ERROR "from packet: ${status} [${err}]")
endif()
run_cli(export "${capture}" --from marker:A)
expect(1 "" "zoduz-cli export: invalid range: --from marker:A: the capture has no Marker A\n")
run_cli(export "${capture}" --from packet:3 --to packet:1)
expect(1 "" "zoduz-cli export: invalid range: the range ends before it starts\n")
run_cli(export "${capture}" --values vbus-power)
if(NOT status EQUAL 2)
    message(FATAL_ERROR "unknown value accepted: ${status}")
endif()
run_cli(export "${WORK}/missing.zaz")
expect(1 "" "zoduz-cli export: cannot read '${WORK}/missing.zaz'\n")
run_cli(export "${capture}" -o "${WORK}/no/such/folder.csv")
expect(1 "" "zoduz-cli export: cannot create the output file: '${WORK}/no/such/folder.csv'\n")
run_cli(export "${capture}" --type zaz -o "${capture}")
expect(1 "" "zoduz-cli export: cannot create the output file: '${capture}'\n")
expect_size("${capture}" ${capture_size})
if(EXISTS /dev/full)
    run_cli(export "${capture}" -o /dev/full)
    expect(1 "" "zoduz-cli export: the disk is full: '/dev/full'\n")
endif()

# Stitching numbered parts: the first successor by default, numbered when taken.
set(parts "${WORK}/parts")
file(MAKE_DIRECTORY "${parts}")
foreach(index 0001 0002 0003)
    file(COPY_FILE "${capture}" "${parts}/PDCapture_${index}.zaz")
endforeach()
file(COPY_FILE "${capture}" "${parts}/Other.zaz")
file(COPY_FILE "${capture}" "${parts}/Trial_0007.zaz")
run_cli(stitch "${parts}/PDCapture_0001.zaz")
expect(0 "${parts}/Stitched_PDCapture_0001-0002.zaz\n" "")
math(EXPR two "${capture_size} * 2")
expect_size("${parts}/Stitched_PDCapture_0001-0002.zaz" ${two})
run_cli(stitch "${parts}/PDCapture_0001.zaz")
expect(0 "${parts}/Stitched_PDCapture_0001-0002 (1).zaz\n" "")
run_cli(stitch "${parts}/PDCapture_0001.zaz" --count 2)
expect(0 "${parts}/Stitched_PDCapture_0001-0003.zaz\n" "")
math(EXPR three "${capture_size} * 3")
expect_size("${parts}/Stitched_PDCapture_0001-0003.zaz" ${three})
run_cli(stitch PDCapture_0002.zaz --folder "${parts}" --to PDCapture_0003.zaz -o "${WORK}/j.zaz")
expect(0 "${WORK}/j.zaz\n" "")
expect_size("${WORK}/j.zaz" ${two})

run_cli(stitch "${parts}/PDCapture_0003.zaz")
expect(1 "" "zoduz-cli stitch: 'PDCapture_0003.zaz' has no successor in '${parts}'\n")
run_cli(stitch "${parts}/Other.zaz")
expect(1 "" "zoduz-cli stitch: no numbered record file 'Other.zaz' in '${parts}'\n")
run_cli(stitch "${parts}/PDCapture_0001.zaz" --to Trial_0007.zaz)
expect(1 "" "zoduz-cli stitch: 'Trial_0007.zaz' is not a successor of 'PDCapture_0001.zaz'\n")
run_cli(stitch "${parts}/PDCapture_0001.zaz" --count 3)
expect(1 "" "zoduz-cli stitch: --count must be 1 to 2\n")
run_cli(stitch "${parts}/PDCapture_0001.zaz" --count 1 --to PDCapture_0002.zaz)
if(NOT status EQUAL 2)
    message(FATAL_ERROR "--count with --to accepted: ${status}")
endif()
