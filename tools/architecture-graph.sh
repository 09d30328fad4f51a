#!/usr/bin/env bash
# Draws docs/architecture.svg, the core's modules and their links, from the CMake
# targets of a configured build directory (default: build). Needs Graphviz's dot.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v dot >/dev/null || { echo "architecture-graph: install graphviz (dot)" >&2; exit 1; }

# Only the core's module libraries: no programs, adapters, tests or system libraries.
cat > "$build/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_GRAPH_NAME "core")
set(GRAPHVIZ_EXECUTABLES FALSE)
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_INTERFACE_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^voxloom_(sdl|ports|http|speech|plot|platform|gui|test_support)$")
OPTIONS
mkdir -p "$build/graphviz"
cmake -S . -B "$build" --graphviz="$build/graphviz/core.dot" >/dev/null
rm "$build/CMakeGraphVizOptions.cmake"

# Module names without the prefix, the lowest layer at the bottom, no legend: PUBLIC
# links are solid, PRIVATE ones dotted.
sed -e '/^subgraph clusterLegend {/,/^}/d' -e 's/voxloom_core_//' \
  -e 's/^digraph "core" {/&\n  rankdir = BT;/' "$build/graphviz/core.dot" |
  dot -Tsvg -o docs/architecture.svg
echo "architecture-graph: wrote docs/architecture.svg"
