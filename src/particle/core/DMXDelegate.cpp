#include "DMXDelegate.h"

DMXDelegate::DMXDelegate() = default;

DMXDelegate::~DMXDelegate() = default;
