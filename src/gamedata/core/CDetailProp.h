#pragma once

#include <cstdint>
#include <string>

// One prop of a detail group: a sprite cut from the detail sheet, or a model
// when `model` is not empty. Every field starts at the value a new prop gets,
// and the reader starts every prop from the same values. Copies are plain
// value copies.
struct CDetailProp
{
    std::string name;
    std::string model;
    // The sprite's rectangle in the detail sheet, in pixels ("sprite").
    int32_t xOrigin = 0;
    int32_t yOrigin = 0;
    int32_t xWidth = 0;
    int32_t yHeight = 0;
    int32_t textureDimension = 1024;
    // "spritesize"
    float uOrigin = 0.5f;
    float vOrigin = 0.0f;
    float uWidth = 0.0f;
    float vHeight = 0.0f;
    float spriterandomscale = 0.0f;
    float amount = 1.0f;
    int32_t detailOrientation = 2;
    float minangle = 180.0f;
    float maxangle = 180.0f;
    bool upright = false;
    std::string sprite_shape;
    float shape_angle = 0.0f;
    float shape_size = 0.0f;
    float sway = 0.0f;

    bool isModel() const { return !model.empty(); }
};
