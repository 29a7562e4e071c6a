#include "CFileVBSP.h"

CFileVBSP::CFileVBSP() = default;

CFileVBSP::~CFileVBSP() = default;
