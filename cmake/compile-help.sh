#!/usr/bin/env bash
# compile-help.sh <chmcmd> <project.hhp> <output.chm>: compiles the help file so that the same
# sources give the same bytes. chmcmd writes the time of day into the file's header and into its
# #SYSTEM record, and leaves two bytes of the keyword map unset, which then hold whatever the heap
# held: run without address randomisation, the heap is the same each time, and the two time
# stamps are set to zero here (nothing reads them).
set -euo pipefail
chmcmd=$1 project=$2 out=$3
setarch "$(uname -m)" -R true 2>/dev/null && norandom=(setarch "$(uname -m)" -R) || norandom=()
"${norandom[@]}" "$chmcmd" "$project"
chm=${project%.*}.chm
# The header's stamp is at offset 16; #SYSTEM, stored uncompressed, opens with its version (3) and
# the time stamp record (code 10, 4 bytes).
perl -0777 -i -pe '
  die "no compiled help file\n" unless substr($_, 0, 4) eq "ITSF";
  substr($_, 16, 4) = "\0" x 4;
  my $at = index($_, "\x03\0\0\0\x0a\0\x04\0");
  die "no #SYSTEM time stamp found\n" if $at < 0;
  substr($_, $at + 8, 4) = "\0" x 4;
' "$chm"
cp "$chm" "$out"
