#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace {
constexpr double Pi = 3.14159265358979323846;
// The windowed filters give 0 below this magnitude.
constexpr double FilterEpsilon = 0.0000125;
// Windows are computed in int: positions beyond this are refused rather than
// overflowed.
constexpr double MaxPosition = double(1 << 30);

double sinc(double x)
{
    const double y = x * Pi;
    if (std::fabs(y) < 0.01)
        return 1.0 + y * y * (y * y / 120.0 - 1.0 / 6.0);
    return std::sin(y) / y;
}

double blackmanWindow(double t)
{
    return 0.42659071 + 0.49656063 * std::cos(Pi * t) + 0.07684867 * std::cos(2.0 * Pi * t);
}

float clean(double value)
{
    return std::fabs(value) < FilterEpsilon ? 0.0f : float(value);
}

// The Mitchell-Netravali family.
float cubic(float t, float b, float c)
{
    const float x = std::fabs(t);
    const float xx = x * x;
    if (x < 1.0f)
        return ((12.0f - 9.0f * b - 6.0f * c) * (x * xx) + (-18.0f + 12.0f * b + 6.0f * c) * xx +
                (6.0f - 2.0f * b)) /
               6.0f;
    if (x < 2.0f)
        return ((-b - 6.0f * c) * (x * xx) + (6.0f * b + 30.0f * c) * xx +
                (-12.0f * b - 48.0f * c) * x + (8.0f * b + 24.0f * c)) /
               6.0f;
    return 0.0f;
}

float quadratic(float t, float r)
{
    const float x = std::fabs(t);
    if (x <= 0.5f)
        return -2.0f * r * x * x + 0.5f * (r + 1.0f);
    if (x < 1.5f)
        return r * x * x + (-2.0f * r - 0.5f) * x + 0.75f * (r + 1.0f);
    return 0.0f;
}

float lanczos(float t, float support)
{
    if (std::fabs(t) >= support)
        return 0.0f;
    return clean(sinc(t) * sinc(t / support));
}

double besselI0(double z)
{
    const double half = z / 2.0;
    double sum = 1.0;
    double term = 1.0;
    double power = 1.0;
    double factorial = 1.0;
    for (int k = 1; k < 1000 && term > 1e-16 * sum; ++k) {
        power *= half;
        factorial *= k;
        term = (power / factorial) * (power / factorial);
        sum += term;
    }
    return sum;
}

float boxFilter(float t)
{
    return t >= -0.5f && t < 0.5f ? 1.0f : 0.0f;
}

float tentFilter(float t)
{
    const float x = std::fabs(t);
    return x < 1.0f ? 1.0f - x : 0.0f;
}

float bellFilter(float t)
{
    const float x = std::fabs(t);
    if (x < 0.5f)
        return 0.75f - x * x;
    if (x < 1.5f)
        return 0.5f * (x - 1.5f) * (x - 1.5f);
    return 0.0f;
}

float bSplineFilter(float t)
{
    const float x = std::fabs(t);
    if (x < 1.0f)
        return 0.5f * x * x * x - x * x + 2.0f / 3.0f;
    if (x < 2.0f)
        return (2.0f - x) * (2.0f - x) * (2.0f - x) / 6.0f;
    return 0.0f;
}

float mitchellFilter(float t)
{
    return cubic(t, 1.0f / 3.0f, 1.0f / 3.0f);
}

float lanczos3Filter(float t)
{
    return lanczos(t, 3.0f);
}

float blackmanFilter(float t)
{
    if (std::fabs(t) >= 3.0f)
        return 0.0f;
    return clean(sinc(t) * blackmanWindow(t / 3.0));
}

float lanczos4Filter(float t)
{
    return lanczos(t, 4.0f);
}

float lanczos6Filter(float t)
{
    return lanczos(t, 6.0f);
}

float lanczos12Filter(float t)
{
    return lanczos(t, 12.0f);
}

float kaiserFilter(float t)
{
    constexpr double alpha = 4.12258768;
    if (std::fabs(t) >= 3.0f)
        return 0.0f;
    static const double i0Alpha = besselI0(alpha);
    const double ratio = double(t) / 3.0;
    return clean(sinc(t) * besselI0(alpha * std::sqrt(1.0 - ratio * ratio)) / i0Alpha);
}

float gaussianFilter(float t)
{
    if (std::fabs(t) >= 1.25f)
        return 0.0f;
    return clean(std::exp(-2.0 * t * t) * 0.7978845608028654 * blackmanWindow(t / 1.25));
}

float catmullRomFilter(float t)
{
    return cubic(t, 0.0f, 0.5f);
}

float quadraticInterpFilter(float t)
{
    return quadratic(t, 1.0f);
}

float quadraticApproxFilter(float t)
{
    return quadratic(t, 0.5f);
}

float quadraticMixFilter(float t)
{
    return quadratic(t, 0.8f);
}

struct Filter
{
    const char *name;
    float (*function)(float);
    float support;
};

constexpr Filter Filters[] = {
    {"box", boxFilter, 0.5f},
    {"tent", tentFilter, 1.0f},
    {"bell", bellFilter, 1.5f},
    {"b-spline", bSplineFilter, 2.0f},
    {"mitchell", mitchellFilter, 2.0f},
    {"lanczos3", lanczos3Filter, 3.0f},
    {"blackman", blackmanFilter, 3.0f},
    {"lanczos4", lanczos4Filter, 4.0f},
    {"lanczos6", lanczos6Filter, 6.0f},
    {"lanczos12", lanczos12Filter, 12.0f},
    {"kaiser", kaiserFilter, 3.0f},
    {"gaussian", gaussianFilter, 1.25f},
    {"catmullrom", catmullRomFilter, 2.0f},
    {"quadratic_interp", quadraticInterpFilter, 1.5f},
    {"quadratic_approx", quadraticApproxFilter, 1.5f},
    {"quadratic_mix", quadraticMixFilter, 1.5f},
};
constexpr int FilterCount = int(sizeof Filters / sizeof Filters[0]);

// The source window of one destination sample.
struct Window
{
    float center;
    float halfWidth;
    qint64 left;
    qint64 right;
};

bool windowFor(int i, float scale, float support, float filterScale, float offset, Window &w)
{
    w.center = (float(i) + 0.5f) / scale - 0.5f + offset;
    w.halfWidth = scale < 1.0f ? support / scale * filterScale : support * filterScale;
    const double low = std::floor(double(w.center) - double(w.halfWidth));
    const double high = std::ceil(double(w.center) + double(w.halfWidth));
    if (!(std::fabs(low) < MaxPosition && std::fabs(high) < MaxPosition))
        return false;
    w.left = qint64(low);
    w.right = qint64(high);
    return true;
}

template <typename T>
std::unique_ptr<T[]> allocate(qint64 count)
{
    if (count < 0 || quint64(count) > std::numeric_limits<size_t>::max() / sizeof(T))
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[size_t(qMax<qint64>(count, 1))]);
}
} // namespace

int resamplerFilterCount()
{
    return FilterCount;
}

const char *resamplerFilterName(int index)
{
    return index >= 0 && index < FilterCount ? Filters[index].name : nullptr;
}

int resamplerBoundaryIndex(int j, int n, ResamplerBoundary boundary)
{
    if (j < 0) {
        const qint64 m = -qint64(j);
        switch (boundary) {
        case BOUNDARY_REFLECT:
            return m < n ? int(m) : n - 1;
        case BOUNDARY_CLAMP:
            return 0;
        case BOUNDARY_WRAP: {
            const int remainder = int(m % n);
            return remainder == 0 ? 0 : n - remainder;
        }
        }
    } else if (j >= n) {
        switch (boundary) {
        case BOUNDARY_REFLECT:
            return qint64(j) < 2 * qint64(n) ? int(2 * qint64(n) - j - 1) : 0;
        case BOUNDARY_CLAMP:
            return n - 1;
        case BOUNDARY_WRAP:
            return j % n;
        }
    }
    return j;
}

bool resamplerMakeContributors(int sourceSize, int destinationSize, ResamplerBoundary boundary,
                               int filterIndex, float filterScale, float sourceOffset,
                               ResamplerAxis &axis)
{
    if (sourceSize <= 0 || destinationSize <= 0 || filterIndex < 0 || filterIndex >= FilterCount)
        return false;
    const Filter &filter = Filters[filterIndex];
    const float scale = float(destinationSize) / float(sourceSize);

    // The pool holds every window whole.
    qint64 total = 0;
    for (int i = 0; i < destinationSize; ++i) {
        Window w;
        if (!windowFor(i, scale, filter.support, filterScale, sourceOffset, w))
            return false;
        total += qMax<qint64>(0, w.right - w.left + 1);
        if (total > std::numeric_limits<qint32>::max())
            return false;
    }
    std::unique_ptr<ResamplerContributorList[]> lists =
        allocate<ResamplerContributorList>(destinationSize);
    std::unique_ptr<ResamplerContributor[]> pool = allocate<ResamplerContributor>(total);
    std::unique_ptr<float[]> weights = allocate<float>(total);
    if (!lists || !pool || !weights)
        return false;

    qint64 next = 0;
    for (int i = 0; i < destinationSize; ++i) {
        Window w;
        windowFor(i, scale, filter.support, filterScale, sourceOffset, w);
        float sum = 0.0f;
        const qint64 size = qMax<qint64>(0, w.right - w.left + 1);
        for (qint64 k = 0; k < size; ++k) {
            const float distance = w.center - float(w.left + k);
            const float x = scale < 1.0f ? scale * distance / filterScale : distance / filterScale;
            weights[k] = filter.function(x);
            sum += weights[k];
        }
        if (sum == 0.0f || !std::isfinite(sum))
            return false;
        const float norm = 1.0f / sum;

        ResamplerContributorList &list = lists[i];
        list.contributors = pool.get() + next;
        list.count = 0;
        float kept = 0.0f;
        float largest = -std::numeric_limits<float>::max();
        quint32 largestAt = 0;
        for (qint64 k = 0; k < size; ++k) {
            const float weight = norm * weights[k];
            if (weight == 0.0f)
                continue;
            const int index = resamplerBoundaryIndex(int(w.left + k), sourceSize, boundary);
            list.contributors[list.count] = ResamplerContributor{weight, index};
            if (weight > largest) {
                largest = weight;
                largestAt = list.count;
            }
            kept += weight;
            ++list.count;
        }
        if (list.count == 0)
            return false;
        // Rounding aside, the weights of every sample add up to exactly 1.
        if (kept != 1.0f)
            list.contributors[largestAt].weight += 1.0f - kept;
        next += list.count;
    }
    Q_ASSERT_X(next <= total, "resamplerMakeContributors", "(Pcpool_next - Pcpool) <= total");
    axis.lists = std::move(lists);
    axis.pool = std::move(pool);
    return true;
}

Resampler::Resampler(int src_x, int src_y, int dst_x, int dst_y, ResamplerBoundary boundary,
                     float sample_low, float sample_high, const char *filter,
                     const ResamplerContributorList *x_list, const ResamplerContributorList *y_list,
                     float filter_x_scale, float filter_y_scale, float src_x_ofs, float src_y_ofs)
    : m_resample_src_x(src_x)
    , m_resample_src_y(src_y)
    , m_resample_dst_x(dst_x)
    , m_resample_dst_y(dst_y)
    , m_boundary(boundary)
    , m_lo(sample_low)
    , m_hi(sample_high)
{
    if (src_x <= 0 || src_y <= 0 || dst_x <= 0 || dst_y <= 0) {
        m_status = STATUS_BAD_SIZE;
        return;
    }
    const char *name = filter ? filter : "lanczos4";
    int filterIndex = -1;
    for (int i = 0; i < FilterCount; ++i) {
        if (std::strcmp(name, Filters[i].name) == 0) {
            filterIndex = i;
            break;
        }
    }
    if (filterIndex < 0) {
        m_status = STATUS_BAD_FILTER_NAME;
        return;
    }

    m_clist_x = x_list;
    if (!m_clist_x) {
        if (!resamplerMakeContributors(src_x, dst_x, boundary, filterIndex, filter_x_scale,
                                       src_x_ofs, m_ownedX)) {
            m_status = STATUS_OUT_OF_MEMORY;
            return;
        }
        m_clist_x = m_ownedX.lists.get();
    }
    m_clist_y = y_list;
    if (!m_clist_y) {
        if (!resamplerMakeContributors(src_y, dst_y, boundary, filterIndex, filter_y_scale,
                                       src_y_ofs, m_ownedY)) {
            m_status = STATUS_OUT_OF_MEMORY;
            return;
        }
        m_clist_y = m_ownedY.lists.get();
    }

    try {
        m_src_y_count.assign(size_t(src_y), 0);
        m_src_y_flag.assign(size_t(src_y), false);
        m_scan_buf_l.assign(MAX_SCAN_BUF_SIZE, -1);
        m_scan_buf_rows.resize(MAX_SCAN_BUF_SIZE);
    } catch (const std::bad_alloc &) {
        m_status = STATUS_OUT_OF_MEMORY;
        return;
    }
    countSourceRowUses();

    // Which pass comes first: the one that does fewer multiplications.
    qint64 x_ops = 0;
    for (int i = 0; i < dst_x; ++i)
        x_ops += m_clist_x[i].count;
    qint64 y_ops = 0;
    for (int i = 0; i < dst_y; ++i)
        y_ops += m_clist_y[i].count;
    const qint64 xy = x_ops * src_y + (4 * y_ops * dst_x) / 3;
    const qint64 yx = (4 * y_ops * src_x) / 3 + x_ops * dst_y;
    m_delay_x_resample = xy > yx || (xy == yx && src_x < dst_x);
    m_intermediate_x = m_delay_x_resample ? src_x : dst_x;

    m_dst_buf = allocate<float>(dst_x);
    if (m_delay_x_resample)
        m_tmp_buf = allocate<float>(src_x);
    if (!m_dst_buf || (m_delay_x_resample && !m_tmp_buf))
        m_status = STATUS_OUT_OF_MEMORY;
}

Resampler::~Resampler() = default;

void Resampler::countSourceRowUses()
{
    std::fill(m_src_y_count.begin(), m_src_y_count.end(), 0);
    std::fill(m_src_y_flag.begin(), m_src_y_flag.end(), false);
    for (int i = 0; i < m_resample_dst_y; ++i) {
        const ResamplerContributorList &list = m_clist_y[i];
        for (quint32 k = 0; k < list.count; ++k) {
            const int v = list.contributors[k].index;
            Q_ASSERT_X((v >= 0) && (v < m_resample_src_y), "Resampler", "(v >= 0) && (v < h)");
            ++m_src_y_count[size_t(v)];
        }
    }
}

void Resampler::contributorLists(const ResamplerContributorList **x_list,
                                 const ResamplerContributorList **y_list) const
{
    if (x_list)
        *x_list = m_clist_x;
    if (y_list)
        *y_list = m_clist_y;
}

void Resampler::restart()
{
    if (m_status != STATUS_OKAY)
        return;
    m_cur_src_y = 0;
    m_cur_dst_y = 0;
    countSourceRowUses();
    std::fill(m_scan_buf_l.begin(), m_scan_buf_l.end(), -1);
    for (std::unique_ptr<float[]> &row : m_scan_buf_rows)
        row.reset();
}

void Resampler::resampleRow(float *dst, const float *src, const ResamplerContributorList *lists,
                            int count) const
{
    Q_ASSERT_X(dst, "Resampler::resampleRow", "Pdst");
    Q_ASSERT_X(src, "Resampler::resampleRow", "Psrc");
    for (int i = 0; i < count; ++i) {
        const ResamplerContributorList &list = lists[i];
        float total = 0.0f;
        for (quint32 k = 0; k < list.count; ++k)
            total += src[list.contributors[k].index] * list.contributors[k].weight;
        dst[i] = total;
    }
}

bool Resampler::addSourceRow(const float *row)
{
    if (m_status != STATUS_OKAY || m_cur_src_y >= m_resample_src_y)
        return false;
    // A row no destination row needs is skipped.
    if (m_src_y_count[size_t(m_cur_src_y)] == 0) {
        ++m_cur_src_y;
        return true;
    }
    const auto free = std::find(m_scan_buf_l.begin(), m_scan_buf_l.end(), -1);
    if (free == m_scan_buf_l.end()) {
        m_status = STATUS_SCAN_BUFFER_FULL;
        return false;
    }
    const size_t slot = size_t(free - m_scan_buf_l.begin());
    m_scan_buf_l[slot] = m_cur_src_y;
    m_src_y_flag[size_t(m_cur_src_y)] = true;
    if (!m_scan_buf_rows[slot]) {
        m_scan_buf_rows[slot] = allocate<float>(m_intermediate_x);
        if (!m_scan_buf_rows[slot]) {
            m_status = STATUS_OUT_OF_MEMORY;
            return false;
        }
    }
    float *target = m_scan_buf_rows[slot].get();
    if (m_delay_x_resample) {
        Q_ASSERT_X(m_intermediate_x == m_resample_src_x, "Resampler::addSourceRow",
                   "m_intermediate_x == m_resample_src_x");
        std::copy(row, row + m_resample_src_x, target);
    } else {
        Q_ASSERT_X(m_intermediate_x == m_resample_dst_x, "Resampler::addSourceRow",
                   "m_intermediate_x == m_resample_dst_x");
        resampleRow(target, row, m_clist_x, m_resample_dst_x);
    }
    ++m_cur_src_y;
    return true;
}

void Resampler::resampleColumn(float *dst)
{
    const ResamplerContributorList &list = m_clist_y[m_cur_dst_y];
    for (quint32 k = 0; k < list.count; ++k) {
        const int source = list.contributors[k].index;
        const float weight = list.contributors[k].weight;
        int j = 0;
        while (j < MAX_SCAN_BUF_SIZE && m_scan_buf_l[size_t(j)] != source)
            ++j;
        Q_ASSERT_X(j < MAX_SCAN_BUF_SIZE, "Resampler::resampleColumn", "j < MAX_SCAN_BUF_SIZE");
        const float *row = m_scan_buf_rows[size_t(j)].get();
        if (k == 0) {
            for (int i = 0; i < m_intermediate_x; ++i)
                dst[i] = row[i] * weight;
        } else {
            for (int i = 0; i < m_intermediate_x; ++i)
                dst[i] += row[i] * weight;
        }
        // The last destination row that needs it frees the slot; the memory
        // stays for the next row.
        if (--m_src_y_count[size_t(source)] == 0) {
            m_src_y_flag[size_t(source)] = false;
            m_scan_buf_l[size_t(j)] = -1;
        }
    }
}

const float *Resampler::takeDestinationRow()
{
    if (m_status != STATUS_OKAY || m_cur_dst_y >= m_resample_dst_y)
        return nullptr;
    const ResamplerContributorList &list = m_clist_y[m_cur_dst_y];
    for (quint32 k = 0; k < list.count; ++k) {
        if (!m_src_y_flag[size_t(list.contributors[k].index)])
            return nullptr;
    }
    float *dst = m_dst_buf.get();
    if (m_delay_x_resample) {
        float *tmp = m_tmp_buf.get();
        Q_ASSERT_X(dst != tmp, "Resampler::takeDestinationRow", "Pdst != Ptmp");
        resampleColumn(tmp);
        resampleRow(dst, tmp, m_clist_x, m_resample_dst_x);
    } else {
        resampleColumn(dst);
    }
    if (m_lo < m_hi) {
        for (int i = 0; i < m_resample_dst_x; ++i)
            dst[i] = std::min(std::max(dst[i], m_lo), m_hi);
    }
    ++m_cur_dst_y;
    return dst;
}
