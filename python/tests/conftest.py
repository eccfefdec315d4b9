"""Drawings the package's tests share."""

import numpy as np
import pytest

# A square 0..10 with a square island 3..7 inside: a face of area 100 - 16
# with the island as its hole, and the island's face of 16.
SQUARE_WITH_ISLAND = np.array([
    [0, 0, 10, 0], [10, 0, 10, 10], [10, 10, 0, 10], [0, 10, 0, 0],
    [3, 3, 7, 3], [7, 3, 7, 7], [7, 7, 3, 7], [3, 7, 3, 3],
], dtype=np.float64)

# A square 0..4 and a cross through it reaching 1 beyond: cut, four faces of
# area 4, and an outer boundary running out along each stub and back.
WINDOW = np.array([
    [0, 0, 4, 0], [4, 0, 4, 4], [4, 4, 0, 4], [0, 4, 0, 0],
    [2, -1, 2, 5], [-1, 2, 5, 2],
], dtype=np.float64)


def random_segments(count, seed=7, size=1000.0, length=30.0):
    rng = np.random.default_rng(seed)
    start = rng.uniform(0, size, (count, 2))
    angle = rng.uniform(0, 2 * np.pi, count)
    end = start + length * np.column_stack([np.cos(angle), np.sin(angle)])
    return np.hstack([start, end])


@pytest.fixture
def window():
    return WINDOW.copy()
