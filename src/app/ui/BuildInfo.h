#pragma once

#include <QString>

// The date this build was compiled, as yyyy-MM-dd.
QString buildDate();
