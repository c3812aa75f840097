#!/usr/bin/env bash
echo "no fuzz targets yet"
