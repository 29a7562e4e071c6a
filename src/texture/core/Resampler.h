#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// A separable resampler for one channel of float samples: scales src_x x
// src_y samples to dst_x x dst_y with one of 16 named filters, row by row, in
// two one-dimensional passes, holding only the source rows still needed.
//
// Use: construct, check status(), then feed rows top to bottom with
// addSourceRow() and after each take every row takeDestinationRow() gives.

enum ResamplerBoundary
{
    BOUNDARY_WRAP = 0,
    BOUNDARY_REFLECT = 1,
    BOUNDARY_CLAMP = 2
};

enum ResamplerStatus
{
    STATUS_OKAY = 0,
    STATUS_OUT_OF_MEMORY = 1,
    STATUS_BAD_FILTER_NAME = 2,
    STATUS_SCAN_BUFFER_FULL = 3,
    // A size that is not positive.
    STATUS_BAD_SIZE = 4
};

struct ResamplerContributor
{
    float weight;
    qint32 index;
};

// The contributors of one destination sample; they point into a pool holding
// every contributor of the axis.
struct ResamplerContributorList
{
    quint32 count;
    ResamplerContributor *contributors;
};

// Number of filters and the name of filter i ("box", "tent", ...; null
// outside 0..15).
int resamplerFilterCount();
const char *resamplerFilterName(int index);

// Source index j mapped into 0..n - 1 by the boundary mode.
int resamplerBoundaryIndex(int j, int n, ResamplerBoundary boundary);

// The contributor lists of one axis, one per destination sample, and the pool
// they point into.
struct ResamplerAxis
{
    std::unique_ptr<ResamplerContributorList[]> lists;
    std::unique_ptr<ResamplerContributor[]> pool;
};

// Builds the lists of an axis of sourceSize samples scaled to destinationSize
// with filter `filterIndex` (0..15), the filter scale and the source offset.
// False when memory runs out or a destination sample keeps no weight.
bool resamplerMakeContributors(int sourceSize, int destinationSize, ResamplerBoundary boundary,
                               int filterIndex, float filterScale, float sourceOffset,
                               ResamplerAxis &axis);

class Resampler
{
public:
    enum
    {
        MAX_SCAN_BUF_SIZE = 16384
    };

    // No filter name means "lanczos4". Contributor lists passed in (from
    // contributorLists() of a resampler of the same sizes) are used, not
    // owned. Sample low < high clamps every output sample. Failures are
    // reported through status().
    Resampler(int src_x, int src_y, int dst_x, int dst_y,
              ResamplerBoundary boundary = BOUNDARY_CLAMP, float sample_low = 0.0f,
              float sample_high = 0.0f, const char *filter = nullptr,
              const ResamplerContributorList *x_list = nullptr,
              const ResamplerContributorList *y_list = nullptr, float filter_x_scale = 1.0f,
              float filter_y_scale = 1.0f, float src_x_ofs = 0.0f, float src_y_ofs = 0.0f);
    ~Resampler();
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    ResamplerStatus status() const { return m_status; }

    // Takes the next source row (src_x floats). False when every row has been
    // given or on failure (status set).
    bool addSourceRow(const float *row);
    // The next destination row (dst_x floats, valid until the next call), or
    // null when none is ready, all were produced, or after a failure.
    const float *takeDestinationRow();
    // Back to the first rows with the same lists; nothing after a failure.
    void restart();

    // The lists in use, for another resampler of the same sizes; either
    // output may be null.
    void contributorLists(const ResamplerContributorList **x_list,
                          const ResamplerContributorList **y_list) const;

private:
    void resampleRow(float *dst, const float *src, const ResamplerContributorList *lists,
                     int count) const;
    void resampleColumn(float *dst);
    void countSourceRowUses();

    int m_resample_src_x = 0;
    int m_resample_src_y = 0;
    int m_resample_dst_x = 0;
    int m_resample_dst_y = 0;
    ResamplerBoundary m_boundary = BOUNDARY_CLAMP;
    float m_lo = 0.0f;
    float m_hi = 0.0f;
    ResamplerStatus m_status = STATUS_OKAY;

    ResamplerAxis m_ownedX;
    ResamplerAxis m_ownedY;
    const ResamplerContributorList *m_clist_x = nullptr;
    const ResamplerContributorList *m_clist_y = nullptr;

    int m_intermediate_x = 0;
    bool m_delay_x_resample = false;
    // Per source row: destination rows that still need it, and whether it is
    // buffered.
    std::vector<int> m_src_y_count;
    std::vector<bool> m_src_y_flag;
    // Scan-buffer slots: the source row each holds (-1: free) and its samples.
    std::vector<int> m_scan_buf_l;
    std::vector<std::unique_ptr<float[]>> m_scan_buf_rows;
    std::unique_ptr<float[]> m_dst_buf;
    std::unique_ptr<float[]> m_tmp_buf;
    int m_cur_src_y = 0;
    int m_cur_dst_y = 0;
};
