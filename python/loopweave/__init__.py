"""Loopweave for Python: loose 2-D line segments to closed, diagnosed polygons.

Two levels:

- ``Builder``: the library's builder, CLoopweave, one to one, with NumPy
  arrays for elements, chains and error points.
- ``polygonize``: lines (an (n, 4) array, Shapely lines, a GeoSeries or a
  GeoDataFrame) to faces with holes, as the command-line tool makes them.
"""

import warnings

from ._loopweave import Builder, Polygon
from . import inputs, results
from ._loopweave import run_pipeline as _run_pipeline
from .results import Polygonized

__all__ = ["Builder", "Polygon", "Polygonized", "polygonize"]


def polygonize(lines, *, keys=None, cross=True, frame=None, frame_margin=0.0, tolerance=None,
               remove_returns=False, holes=True, labels=None):
    """Forms the faces of the planar graph of `lines` and diagnoses them.

    lines: an (n, 4) array of segments (sx, sy, ex, ey); a sequence of Shapely
        LineStrings, MultiLineStrings or polygons (their rings); a GeoSeries
        or GeoDataFrame, whose CRS the results carry; or a list of these,
        entered together with their rows numbered on across them. The frames
        of a list must share one CRS: ValueError otherwise (to_crs them
        into one first).
    keys: with an array, an (n, 2) integer array (default: the row and 0);
        with a GeoDataFrame, one or two integer column names (default: the
        row and the segment's index within the feature).
    cross: cut the lines where they cross first.
    frame: None, "extent" (around the lines) or (x1, y1, x2, y2): a rectangle
        added before the cut, widened by frame_margin on every side; its
        pieces have both keys -1.
    tolerance: a distance in the lines' units (None: none). Ends closer than
        this meet, and an end closer than this to a line lands on it (the
        line is split there), before anything is formed; nothing farther
        from everything else moves. A cluster of ends goes to the point
        where most of them already lie. Without it, ends meet only as
        closely as doubles resolve the drawing: `scale` in the result says
        how closely.
    remove_returns: strip the back-and-forth runs (always done with holes).
    holes: faces with the groups inside them as holes, a coverage (default);
        False gives the enclosed faces as formed, where they are simple rings.
    labels: points, an (m, 2) array or a GeoDataFrame of Points: each face
        counts the labels inside it and takes the fields of the first. A
        GeoDataFrame or GeoSeries in another CRS than the lines' is
        transformed into theirs; ValueError if only one of the two has a CRS.

    Returns Polygonized(faces, polygons, dangles, errors): GeoDataFrames when
    GeoPandas is installed, otherwise dicts of arrays (geometries as WKB);
    its `scale` gives the distances at which ends met and landed on lines,
    and its `account` where every input segment ended.
    Raises TypeError or ValueError for input it cannot take, and
    KeyboardInterrupt between stages when interrupted.
    """
    segments, segment_keys, crs = inputs.segments_of(lines, keys)
    label_points, label_table = (None, None) if labels is None else inputs.points_of(inputs.labels_in(labels, crs))
    columns = _run_pipeline(segments, segment_keys, cross, _frame(frame), float(frame_margin),
                            _tolerance(tolerance), remove_returns, holes, label_points)
    result = results.polygonized(columns, crs, labels is not None, label_table)
    _warn_of(result)
    return result


def _warn_of(result):
    scale, lost = result.scale, result.account["lost"]
    if not scale["resolved"]:
        warnings.warn(f"the drawing is too large for its median segment ({scale['median_length']:.6g} long) at any "
                      f"one scale: ends closer than {scale['meeting_distance']:.3g} meet, and an end closer than "
                      f"{scale['landing_distance']:.3g} to such a line lands on it", stacklevel=3)
    if lost:
        warnings.warn(f"{lost} input segments are in no result; please report this fault", RuntimeWarning,
                      stacklevel=3)


def _tolerance(tolerance):
    """The pipeline's tolerance: 0 for none; ValueError for one that is no positive distance."""
    if tolerance is None:
        return 0.0
    if not tolerance > 0:
        raise ValueError(f"tolerance must be a positive distance, not {tolerance}")
    return float(tolerance)


def _frame(frame):
    if frame is None or isinstance(frame, str):
        return frame  # "extent", or a word the pipeline refuses
    try:
        return tuple(float(corner) for corner in frame)
    except (TypeError, ValueError):
        raise TypeError(f"frame must be None, \"extent\" or (x1, y1, x2, y2), not {frame!r}") from None
