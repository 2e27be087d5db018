# The Debian 12 packages, by what needs them. Sourced by setup-debian.sh.

# What the program needs to run (the .deb depends on these too, beyond its shared libraries).
runtime_packages=(
  libdlib-data
  qt6-translations-l10n
  fonts-dejavu-core
  fonts-liberation2
  # Liberation Sans Narrow, the program's font, is only in the first generation's package.
  fonts-liberation
  locales
)

# What building the program needs.
build_packages=(
  cmake
  ninja-build
  g++
  pkg-config
  qt6-base-dev
  qt6-svg-dev
  qt6-tools-dev
  qt6-l10n-tools
  libgl-dev
  libegl-dev
  libdlib-dev
  # The profile finder's segmentation (core and imgproc only).
  libopencv-imgproc-dev
  zlib1g-dev
  # dlib's CMake files link these by path, and libdlib-dev does not pull them in.
  libjpeg-dev
  libblas-dev
  liblapack-dev
)

# What only the tests, the benchmarks, the screenshots and the package need.
test_packages=(
  libgtest-dev
  libbenchmark-dev
  nlohmann-json3-dev
  xvfb
  xauth
  xdotool
  imagemagick
  desktop-file-utils
  appstream
  dpkg-dev
  file
  clang
  libclang-rt-14-dev
)
