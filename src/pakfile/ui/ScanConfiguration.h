#pragma once

#include "ContentScan.h"

class CConfig;

// The lists of the process-wide configuration that the content scan and the
// dependency scanners read, copied out for the core, which never sees the
// configuration itself.
ContentScan::Configuration scanConfiguration(const CConfig &config);
