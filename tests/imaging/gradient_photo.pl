#!/usr/bin/perl
# Usage: gradient_photo.pl CJPEG OUTPUT WIDTH HEIGHT
# Writes a JPEG whose red rises from left to right and whose blue falls
# (green 64 throughout), streamed to cjpeg as a PPM so that no raw image of
# the whole size ever lands on disk.
use strict;
use warnings;

my ($cjpeg, $output, $width, $height) = @ARGV;
die "usage: $0 CJPEG OUTPUT WIDTH HEIGHT\n" unless $height && $width > 1;
# Written under another name first: a file cut short must not pass as made.
my $partial = "$output.part";
open(my $encoder, '|-', $cjpeg, '-quality', '80', '-outfile', $partial) or die "$cjpeg: $!\n";
binmode($encoder);
print $encoder "P6\n$width $height\n255\n";
my $row = join('', map { my $red = int($_ * 255 / ($width - 1)); pack('CCC', $red, 64, 255 - $red) }
                       0 .. $width - 1);
print $encoder $row for 1 .. $height;
close($encoder) or die "$cjpeg failed\n";
rename($partial, $output) or die "$output: $!\n";
