#!/usr/bin/env bash
# Regenerates the panel's pictures: resources/resdll/png/<id>.png of ResDLL.dll,
# resources/icons/*.ico and resources/cursors/*.cur. Needs python3 and ImageMagick 6
# (/usr/bin/convert) with the DejaVu and Liberation fonts. Usage: draw.sh [pictures|icons|cursors|all]
set -euo pipefail
exec python3 "$(dirname "${BASH_SOURCE[0]}")/draw.py" "${1:-all}"
