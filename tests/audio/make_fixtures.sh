#!/usr/bin/env bash
# Makes the sound files the audio tests and benchmark play: short tones in every MPEG kind a
# ringtone may have, and the broken and foreign files a user might pick instead.
# Usage: make_fixtures.sh DIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

tone() {  # tone RATE CHANNELS SECONDS FILE
  sox -q -n -r "$1" -c "$2" "$4" synth "$3" sine 440 vol 0.5
}

# MPEG-1, MPEG-2 and MPEG-2.5 layer III (lame picks the version from the rate).
tone 44100 2 0.5 "$tmp/t44.wav" && lame --quiet -b 128 "$tmp/t44.wav" mpeg1_l3_stereo.mp3
tone 22050 1 0.5 "$tmp/t22.wav" && lame --quiet "$tmp/t22.wav" mpeg2_l3_mono.mp3
tone 8000 1 0.5 "$tmp/t8.wav" && lame --quiet "$tmp/t8.wav" mpeg25_l3_mono.mp3
# MPEG-1 and MPEG-2 layer II (twolame through sox).
tone 48000 2 0.5 "$tmp/m1l2.mp2" && mv "$tmp/m1l2.mp2" mpeg1_l2_stereo.mp3
tone 24000 1 0.5 "$tmp/m2l2.mp2" && mv "$tmp/m2l2.mp2" mpeg2_l2_mono.mp3
# A blip of a few frames, for many passes.
tone 8000 1 0.05 "$tmp/blip.wav" && lame --quiet "$tmp/blip.wav" blip.mp3
# A ringtone of two seconds for the benchmark and the end-to-end test.
tone 44100 2 2 "$tmp/ring.wav" && lame --quiet -b 128 "$tmp/ring.wav" ringtone.mp3
# A name outside ASCII and outside GBK (U+00C5), to check the path conversion.
cp mpeg1_l3_stereo.mp3 "铃声Å.mp3"

# A 1 MiB ID3v2.4 tag whose one frame is full of MPEG frames: a decoder that does not pass
# over the tag plays them. Sizes are syncsafe: tag 0x100000, frame 0x100000 - 10.
for _ in $(seq 120); do cat mpeg1_l3_stereo.mp3; done > "$tmp/frames"
{
  printf 'ID3\x04\x00\x00\x00\x40\x00\x00'
  printf 'PRIV\x00\x3f\x7f\x76\x00\x00'
  printf 'x\0'
  head -c $((0x100000 - 12)) "$tmp/frames"
  cat mpeg1_l3_stereo.mp3
} > large_id3v2.mp3

size=$(stat -c %s ringtone.mp3)
head -c $((size / 2 + 77)) ringtone.mp3 > truncated.mp3
# 3000 bytes of damage in the middle, more than libmpg123's default resync window of 1 KiB.
cp ringtone.mp3 damaged.mp3
head -c 3000 /dev/zero | tr '\0' 'U' | dd of=damaged.mp3 bs=1 seek=$((size / 2)) conv=notrunc status=none

# MPEG-1 layer I, which a ringtone may not be: 100 frames of silence, 32 bytes each.
for _ in $(seq 100); do printf '\xff\xff\x10\xc0'; head -c 28 /dev/zero; done > layer1.mp3

sox -q -n -r 44100 -c 2 -b 16 tone.wav synth 1 sine 1000 vol 0.9
printf '这不是声音。\nThis is not sound either.\n' > notes.txt
: > empty.mp3
head -c 65536 /dev/urandom > random.mp3
mkdir -p folder.mp3
# The ringtone's format at a whisper, to tell the two apart on a real device.
sox -q -n -r 44100 -c 2 "$tmp/quiet.wav" synth 2 sine 440 vol 0.01
lame --quiet -b 128 "$tmp/quiet.wav" quiet.mp3
