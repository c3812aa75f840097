#!/usr/bin/env bash
echo "run" >>calls.log
echo "{a, rej_P0_R0(a), is_true, ok}"
