#pragma once

// The CSV export lives in core/csv; this name stays for the window, which still includes it here.

#include "core/csv/CsvExport.h"
