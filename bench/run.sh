#!/usr/bin/env bash
echo "no benchmarks yet"
